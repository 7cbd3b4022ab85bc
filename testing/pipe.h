#ifndef TRCHECK_TESTING_PIPE_H
#define TRCHECK_TESTING_PIPE_H

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

// A pipe as the input reader meets it: reads of the sizes given, in turn from the one at
// first, never more than asked; nothing buffered between reads, so that atEnd() is true all
// along and tells nothing; and a read gives nothing only once the data is exhausted.
class Pipe : public QIODevice
{
  public:
    Pipe(const QByteArray &data, std::vector<qint64> sizes, size_t first = 0)
        : data(data), sizes(std::move(sizes)), next(first % this->sizes.size())
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 0; }

  protected:
    qint64 readData(char *out, qint64 maxSize) override
    {
        const qint64 size = std::min({maxSize, sizes[next], data.size() - taken});
        next = (next + 1) % sizes.size();
        std::memcpy(out, data.constData() + taken, size_t(size));
        taken += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

  private:
    const QByteArray data;
    const std::vector<qint64> sizes;
    size_t next;
    qint64 taken = 0;
};

#endif
