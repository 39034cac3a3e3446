// Reads a GIFT file with another tool's parser (gift-pegjs) and prints each question on a line of
// its own: its kind, its text, its right answers (apart by "|"), each wrong answer and its general
// feedback, apart by tabs. Arguments: the parser's folder, the GIFT file.
const { parse } = require(process.argv[2]);
const fs = require('fs');
for (const q of parse(fs.readFileSync(process.argv[3], 'utf8'))) {
  const choices = q.choices || [];
  const right = choices.filter((c) => c.isCorrect).map((c) => c.text.text);
  const wrong = choices.filter((c) => !c.isCorrect).map((c) => c.text.text);
  const feedback = q.globalFeedback ? q.globalFeedback.text : '';
  console.log([q.type, q.stem.text, right.join('|'), ...wrong, feedback].join('\t'));
}
