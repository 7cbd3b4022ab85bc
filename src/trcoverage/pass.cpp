#include "pass.h"

#include "encodeline.h"
#include "verdict.h"

#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// Threads that run the tasks of one job at a time, each task once, in any order. The languages
// are the tasks: a ZCatalogs is asked by one thread at a time, and a language's verdicts and
// count are written by the thread that has its task.
class Team
{
  public:
    explicit Team(int threads)
    {
        for (int i = 0; i < threads; ++i)
            workers.emplace_back([this] { work(); });
    }
    ~Team()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread &worker : workers)
            worker.join();
    }
    Team(const Team &) = delete;
    Team &operator=(const Team &) = delete;

    // Starts job(task) for every task in [0, count) and returns; without threads, runs them.
    void start(int count, std::function<void(int)> task)
    {
        if (workers.empty()) {
            for (int i = 0; i < count; ++i)
                task(i);
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(mutex);
            job = std::move(task);
            tasks = count;
            next = finished = 0;
        }
        wake.notify_all();
    }
    // Returns once every task started has run.
    void wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [this] { return finished == tasks; });
    }

  private:
    void work()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stopping || next < tasks; });
            if (stopping)
                return;
            const int task = next++;
            lock.unlock();
            job(task);
            lock.lock();
            if (++finished == tasks)
                done.notify_all();
        }
    }

    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable wake, done;
    std::function<void(int)> job;
    int tasks = 0, next = 0, finished = 0;
    bool stopping = false;
};

// Lines read ahead, with their keys, and their verdicts in every language once looked up. Kept
// from batch to batch: after the longest line, a line costs no allocation of the pass's own.
struct Batch
{
    Batch(int lines, qsizetype languages)
        : lines(size_t(lines)), keys(size_t(lines)), valid(size_t(lines)),
          verdicts(size_t(lines) * size_t(languages))
    {
    }

    std::vector<QString> lines;
    std::vector<QByteArray> keys;
    std::vector<char> valid;
    // Language by language: verdicts[language * capacity() + line].
    std::vector<Verdict> verdicts;
    int size = 0;
    qint64 firstNumber = 1;

    int capacity() const { return int(lines.size()); }
};

// A batch also ends after this many characters, so that very long lines do not make it large.
constexpr qsizetype batchCharacters = 1 << 20;
// A slot keeps its line's buffers for the next batch only up to this size: a long line lands in
// a different slot each time, and kept, every slot would in time hold the longest line.
constexpr qsizetype slotCharacters = 1 << 16;

void readBatch(QTextStream &input, Batch &batch, qint64 firstNumber, QByteArray &latin1)
{
    for (int i = 0; i < batch.size; ++i) {
        if (batch.lines[size_t(i)].capacity() > slotCharacters) {
            batch.lines[size_t(i)] = QString();
            batch.keys[size_t(i)] = QByteArray();
        }
    }
    batch.size = 0;
    batch.firstNumber = firstNumber;
    qsizetype characters = 0;
    // Until no line is read, as trcheck reads: a pipe, a broken last character and a read
    // error all end that way.
    while (batch.size < batch.capacity() && characters < batchCharacters &&
           input.readLineInto(&batch.lines[size_t(batch.size)])) {
        const QString &line = batch.lines[size_t(batch.size)];
        QByteArray &key = batch.keys[size_t(batch.size)];
        if (key.size() < 3 * line.size() + 1)
            key.resize(3 * line.size() + 1);
        if (latin1.size() < line.size())
            latin1.resize(line.size());
        batch.valid[size_t(batch.size)] = encodeLine(line, latin1.data(), key.data());
        characters += line.size();
        ++batch.size;
    }
}

// Returns how many of the batch's lines the language translates.
qint64 lookUp(Batch &batch, const ZCatalogs &catalogs, qsizetype language,
              const CoverageHeader &header)
{
    qint64 translated = 0;
    Verdict *const verdicts = batch.verdicts.data() + language * batch.capacity();
    // An answer not kept goes at the next line's, while the allocator still has it at hand.
    QString unkept;
    for (int i = 0; i < batch.size; ++i) {
        Verdict &verdict = verdicts[i];
        QString &answer = header.answersKept ? verdict.answer : unkept;
        const QString &line = batch.lines[size_t(i)];
        const char *const key = batch.keys[size_t(i)].constData();
        verdict.answers.clear();
        verdict.differs = false;
        // A line its key cannot carry is not looked up: the key would stand for another text.
        if (!batch.valid[size_t(i)]) {
            verdict.translated = false;
            answer = QString();
            continue;
        }
        if (header.componentsAsked) {
            verdict.answers = catalogs.answers(key);
            answer = verdict.answers.isEmpty() ? QString() : verdict.answers[0].text;
            for (const ZCatalogs::Answer &other : std::as_const(verdict.answers))
                verdict.differs = verdict.differs || !sameText(other.text, answer);
        } else {
            answer = catalogs.translate(key);
        }
        // Where no catalog answers, the answer stays null: no translation, by the same rule.
        verdict.translated = isTranslation(true, line, key, answer);
        translated += verdict.translated;
    }
    return translated;
}

} // namespace

int defaultThreads(qsizetype languages)
{
    return int(std::min<qsizetype>(std::max(QThread::idealThreadCount(), 1), languages));
}

CoverageTotals runPass(QTextStream &input, const CoverageHeader &header,
                       const QList<CoverageOutput *> &outputs, const PassOptions &options)
{
    const std::vector<Language> &languages = *header.languages;
    const qsizetype count = qsizetype(languages.size());
    CoverageTotals totals;
    totals.translated.assign(languages.size(), 0);
    for (CoverageOutput *output : outputs)
        output->begin(header);

    // While the team looks one batch up, this thread reads the next.
    Batch batches[2] = {Batch(std::max(options.batchLines, 1), count),
                        Batch(std::max(options.batchLines, 1), count)};
    Batch *current = &batches[0], *next = &batches[1];
    QByteArray latin1;
    Team team(options.threads);
    readBatch(input, *current, 1, latin1);
    while (current->size > 0) {
        Batch *const batch = current;
        team.start(int(count), [&, batch](int language) {
            // Counted apart and added once: the languages' counts share a cache line.
            totals.translated[size_t(language)] +=
                lookUp(*batch, *languages[size_t(language)].catalogs, language, header);
        });
        readBatch(input, *next, current->firstNumber + current->size, latin1);
        team.wait();
        for (int i = 0; i < current->size; ++i) {
            const LineOutcome line{current->firstNumber + i, current->lines[size_t(i)],
                                   current->verdicts.data() + i, current->capacity()};
            for (CoverageOutput *output : outputs)
                output->addLine(line);
        }
        totals.lines += current->size;
        std::swap(current, next);
    }

    for (CoverageOutput *output : outputs)
        output->end(totals);
    return totals;
}
