#ifndef TRCHECK_BENCH_BENCHFILES_H
#define TRCHECK_BENCH_BENCHFILES_H

// What the benchmark's input generators share.

#include <cstdint>
#include <cstdio>
#include <string>

// A fixed-seed generator: the figures must compare across runs and machines.
struct Random
{
    std::uint64_t state;
    std::uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    std::size_t below(std::size_t n) { return std::size_t(next() % n); }
};

inline bool writeFile(const std::string &path, const std::string &text)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = file && std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

#endif
