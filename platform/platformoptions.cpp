#include "platformoptions.h"

#include <cstring>

namespace {

// The value of option `name` in argv[i], from the argument itself (after '=') or the next one,
// advancing i past what it took; null when argv[i] is not that option or has no value.
const char *optionValue(int argc, char **argv, int &i, const char *name)
{
    const char *argument = argv[i];
    if (*argument != '-')
        return nullptr;
    ++argument;
    if (*argument == '-')
        ++argument;
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0)
        return nullptr;
    if (argument[length] == '=')
        return argument + length + 1;
    if (argument[length] != '\0' || i + 1 >= argc)
        return nullptr;
    return argv[++i];
}

} // namespace

PlatformOptions takePlatformOptions(int &argc, char **argv)
{
    PlatformOptions options;
    int kept = argc > 0 ? 1 : 0;
    for (int i = 1; i < argc; ++i) {
        if (const char *directory = optionValue(argc, argv, i, "translations"))
            options.translations = QByteArray(directory);
        else if (const char *language = optionValue(argc, argv, i, "lang"))
            options.languages.append(QByteArray(language));
        else
            argv[kept++] = argv[i];
    }
    if (kept < argc) {
        argv[kept] = nullptr;
        argc = kept;
    }
    return options;
}
