#include "CommandLine.h"
#include <cstdlib>

namespace daxohost {

namespace {

struct Option {
    const char* name;
    std::string HostOptions::*text;
};

const Option kFileOptions[] = {{"--bench", &HostOptions::bench}, {"--script", &HostOptions::script},
                               {"--lang", &HostOptions::lang},   {"--log", &HostOptions::log},
                               {"--shots", &HostOptions::shots}, {"--record", &HostOptions::record},
                               {"--check-lang", &HostOptions::checkLang}, {"--export-lang", &HostOptions::exportLang},
                               {"--check-module", &HostOptions::checkModule}};

bool IsOption(const std::string& name)
{
    for (const Option& option : kFileOptions)
        if (name == option.name)
            return true;
    return name == "--calls" || name == "--timeout";
}

bool ParseCount(const std::string& text, long low, long high, long* value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    long number = std::strtol(text.c_str(), nullptr, 10);
    if (number < low || number > high)
        return false;
    *value = number;
    return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& args, HostOptions* options, std::string* error)
{
    bool callsGiven = false, timeoutGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h" || name == "/?") {
            options->help = true;
            continue;
        }
        if (name == "--replace") {
            options->replace = true;
            continue;
        }
        if (!IsOption(name)) {
            *error = name.compare(0, 2, "--") == 0 ? "unknown option " + name : "unexpected argument '" + name + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        for (const Option& option : kFileOptions)
            if (name == option.name)
                options->*option.text = value;
        long number = 0;
        if (name == "--calls") {
            if (!ParseCount(value, 1, 1000, &number)) {
                *error = "--calls wants a number from 1 to 1000";
                return false;
            }
            options->calls = static_cast<int>(number);
            callsGiven = true;
        } else if (name == "--timeout") {
            if (!ParseCount(value, 1, 3600, &number)) {
                *error = "--timeout wants seconds from 1 to 3600";
                return false;
            }
            options->timeoutMs = static_cast<unsigned>(number) * 1000u;
            timeoutGiven = true;
        }
        if (value.empty()) {
            *error = name + " needs a value";
            return false;
        }
    }
    const bool languageTool = !options->checkLang.empty() || !options->exportLang.empty();
    if (languageTool && (!options->checkLang.empty() + !options->exportLang.empty() + !options->script.empty() +
                             !options->lang.empty() > 1)) {
        *error = "--check-lang and --export-lang each run alone (the module's own texts are the reference)";
        return false;
    }
    if (options->replace && options->exportLang.empty()) {
        *error = "--replace belongs to --export-lang";
        return false;
    }
    if (!options->checkModule.empty() && args.size() != 2) {
        *error = "--check-module runs alone";
        return false;
    }
    if ((callsGiven || timeoutGiven) && options->script.empty()) {
        *error = std::string(callsGiven ? "--calls" : "--timeout") + " belongs to a script: give --script";
        return false;
    }
    return true;
}

std::string Usage()
{
    return "usage: daxohost.exe [--bench FILE] [--lang FILE] [--log FILE] [--record FILE] [--shots DIR]\n"
           "       daxohost.exe --script FILE [--bench FILE] [--lang FILE] [--log FILE] [--record FILE]\n"
           "                    [--shots DIR] [--calls N] [--timeout SECONDS]\n"
           "       daxohost.exe --check-lang FILE | --export-lang FILE [--replace] | --check-module FILE\n"
           "Without --script the application opens for the operator. With --script the operator is\n"
           "played from the script (see docs/SCRIPTS.md) and the result log goes to the standard output.\n"
           "--check-lang checks a translation against the module's texts (exit 0 clean, 1 problems found,\n"
           "2 the file cannot be read); --export-lang writes every text of the module to start a new one,\n"
           "never over an existing file unless --replace is given.\n"
           "--check-module says what of a module does not fit this host and its libraries (exit 0 fits,\n"
           "1 does not fit, 2 the file cannot be read or is no library of this architecture).\n"
           "Exit codes: 0 passed, 1 the script failed or a record row was lost, 2 wrong arguments,\n"
           "script, bench, language or record file, 3 TestDAXO01.dll or a library of the host beside the\n"
           "program not loadable, 4 an export missing, 5 a wrong module identifier, 6 no test object,\n"
           "7 the program crashed (what happened is on the standard error).\n";
}

std::string RecordPath(const HostOptions& options)
{
    if (!options.record.empty())
        return options.record;
    size_t slash = options.log.find_last_of("\\/");
    if (slash == std::string::npos)
        return "commissioning.csv";
    return options.log.substr(0, slash + 1) + "commissioning.csv";
}

} // namespace daxohost
