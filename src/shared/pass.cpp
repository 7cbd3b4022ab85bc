#include "pass.h"

#include "encodeline.h"
#include "lookup.h"
#include "verdict.h"

#include <QSemaphore>
#include <QTextStream>
#include <QThreadPool>

#include <algorithm>

namespace {

// Lines read ahead, with their keys, and their outcomes in every language once looked up. Kept
// from batch to batch: after the longest line, a line costs no allocation of the pass's own.
struct Batch
{
    Batch(int lines, qsizetype languages)
        : lines(size_t(lines)), keys(size_t(lines)), latin1(size_t(lines)), valid(size_t(lines)),
          outcomes(size_t(lines) * size_t(languages))
    {
    }

    std::vector<QString> lines;
    std::vector<QByteArray> keys;
    std::vector<QByteArray> latin1;
    std::vector<char> valid;
    // What the run's check keeps of each line, when it checks.
    std::vector<std::unique_ptr<TranslationCheck::Line>> checked;
    // Language by language: outcomes[language * capacity() + line].
    std::vector<Outcome> outcomes;
    int size = 0;
    qint64 firstNumber = 1;

    int capacity() const { return int(lines.size()); }
};

// A batch also ends after this many characters, so that very long lines do not make it large.
constexpr qsizetype batchCharacters = 1 << 20;
// A slot keeps its line's buffers for the next batch only up to this size: a long line lands in
// a different slot each time, and kept, every slot would in time hold the longest line.
constexpr qsizetype slotCharacters = 1 << 16;

// Grows a buffer to hold at least size bytes, by half again at the least, from a size most lines
// fit: a slot's buffers then grow a few times, not with every longer line. It never shrinks.
char *reserved(QByteArray &buffer, qsizetype size)
{
    if (buffer.size() < size)
        buffer.resize(std::max({size, buffer.size() + buffer.size() / 2, qsizetype(256)}));
    return buffer.data();
}

void readBatch(QTextStream &input, Batch &batch, qint64 firstNumber, const TranslationCheck *check)
{
    for (int i = 0; i < batch.size; ++i) {
        if (batch.lines[size_t(i)].capacity() > slotCharacters) {
            batch.lines[size_t(i)] = QString();
            batch.keys[size_t(i)] = QByteArray();
            batch.latin1[size_t(i)] = QByteArray();
        }
    }
    batch.size = 0;
    batch.firstNumber = firstNumber;
    qsizetype characters = 0;
    // Until no line is read, rather than until atEnd(): a pipe is at its end until it is read,
    // input that ends inside a character leaves bytes that decode to no line, and a read error
    // must end the pass.
    while (batch.size < batch.capacity() && characters < batchCharacters &&
           input.readLineInto(&batch.lines[size_t(batch.size)])) {
        const size_t slot = size_t(batch.size);
        const QString &line = batch.lines[slot];
        batch.valid[slot] = encodeLine(line, reserved(batch.latin1[slot], line.size()),
                                       reserved(batch.keys[slot], 3 * line.size() + 1));
        if (check) {
            if (batch.checked.empty())
                batch.checked.resize(batch.lines.size());
            if (!batch.checked[slot])
                batch.checked[slot] = check->newLine();
            check->readLine(line, *batch.checked[slot]);
        }
        characters += line.size();
        ++batch.size;
    }
}

// What one language makes of a batch.
struct Counts
{
    qint64 translated = 0, same = 0, problems = 0;
};

// Looks the batch's lines up in one language and judges them.
Counts lookUpBatch(Batch &batch, const Lookup &lookup, qsizetype language, OutputNeeds needs,
                   const PassOptions &options)
{
    Counts counts;
    Outcome *const outcomes = batch.outcomes.data() + language * batch.capacity();
    // An answer not kept goes at the next line's, while the allocator still has it at hand.
    QString unkept;
    for (int i = 0; i < batch.size; ++i) {
        Outcome &outcome = outcomes[i];
        QString &answer = needs.answers ? outcome.answer : unkept;
        const QString &line = batch.lines[size_t(i)];
        const char *const key = batch.keys[size_t(i)].constData();
        outcome.answers.clear();
        outcome.differs = false;
        outcome.same = false;
        outcome.problems = 0;
        // A line its key cannot carry is not looked up: the key would stand for another text.
        if (!batch.valid[size_t(i)]) {
            outcome.translated = false;
            answer = QString();
            continue;
        }
        if (needs.components) {
            outcome.answers = lookup.answers(key);
            answer = outcome.answers.isEmpty() ? QString() : outcome.answers[0].text;
            for (const ComponentAnswer &other : std::as_const(outcome.answers))
                outcome.differs = outcome.differs || !sameText(other.text, answer);
        } else {
            answer = lookup.translate(key);
        }
        const Verdict verdict = judge(line, key, answer);
        outcome.translated = verdict == Verdict::translated;
        outcome.same = verdict == Verdict::same;
        if (outcome.translated && options.check)
            outcome.problems = options.check->check(*batch.checked[size_t(i)], answer);
        counts.translated += outcome.translated;
        counts.same += outcome.same;
        counts.problems += outcome.problems != 0;
    }
    return counts;
}

void add(PassTotals &totals, size_t language, const Counts &counts)
{
    totals.translated[language] += counts.translated;
    totals.same[language] += counts.same;
    totals.problems[language] += counts.problems;
}

void handOut(const Batch &batch, const QList<Output *> &outputs)
{
    for (int i = 0; i < batch.size; ++i) {
        const size_t slot = size_t(i);
        const qsizetype size = batch.lines[slot].size();
        const LineOutcome line{batch.firstNumber + i,
                               batch.lines[slot],
                               QByteArrayView(batch.latin1[slot].constData(), size),
                               batch.keys[slot].constData(),
                               batch.outcomes.data() + i,
                               batch.capacity()};
        for (Output *output : outputs)
            output->addLine(line);
    }
}

} // namespace

PassTotals runPass(QTextStream &input, const PassHeader &header, const QList<Output *> &outputs,
                   const PassOptions &options)
{
    const std::vector<Language> &languages = header.languages;
    const qsizetype count = qsizetype(languages.size());
    OutputNeeds needs;
    for (const Output *output : outputs) {
        needs.answers = needs.answers || output->needs().answers;
        needs.components = needs.components || output->needs().components;
    }
    PassTotals totals;
    totals.translated.assign(languages.size(), 0);
    totals.same.assign(languages.size(), 0);
    totals.problems.assign(languages.size(), 0);
    for (Output *output : outputs)
        output->begin(header);

    const int lines = std::max(options.batchLines, 1);
    Batch current(lines, count);
    if (!options.pool) {
        for (readBatch(input, current, 1, options.check); current.size > 0;
             readBatch(input, current, current.firstNumber + current.size, options.check)) {
            for (qsizetype language = 0; language < count; ++language)
                add(totals, size_t(language),
                    lookUpBatch(current, *languages[size_t(language)].lookup, language, needs,
                                options));
            handOut(current, outputs);
            totals.lines += current.size;
        }
    } else {
        // While the pool looks one batch up, a language to a task, this thread reads the next.
        Batch next(lines, count);
        QSemaphore looked;
        for (readBatch(input, current, 1, options.check); current.size > 0;
             std::swap(current, next)) {
            for (qsizetype language = 0; language < count; ++language) {
                options.pool->start([&, language] {
                    // Counted apart and added once: the languages' counts share a cache line.
                    add(totals, size_t(language),
                        lookUpBatch(current, *languages[size_t(language)].lookup, language, needs,
                                    options));
                    looked.release();
                });
            }
            readBatch(input, next, current.firstNumber + current.size, options.check);
            looked.acquire(int(count));
            handOut(current, outputs);
            totals.lines += current.size;
        }
    }

    for (Output *output : outputs)
        output->end(totals);
    return totals;
}
