#include "app/console/CommandLine.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "app/console/ConsoleGenerate.h"
#include "app/console/ConsoleRecords.h"
#include "app/console/ConsoleTransfer.h"
#include "app/console/Rekey.h"
#include "app/records/PairFolder.h"

#ifndef QUORVEL_BUILD_VERSION
#error "the build defines QUORVEL_BUILD_VERSION (the CMake project version)"
#endif

namespace {
constexpr int kUsageStatus = 2;

struct TCommandOption {
  const char* name;
  const char* argument;  // its name in the usage, or null when it takes none
  const char* help;
  int (*run)(const char* argument);
  // Instead of run, for an option followed by options of its own.
  int (*runWithOptions)(int argc, char** argv) = nullptr;
};

int RunHelp(const char*);
int RunVersion(const char*);
int RunGenerate(int argc, char** argv);

// One row per option; the usage lists them in this order.
const TCommandOption kOptions[] = {
    {"--rekey", nullptr, "re-encrypt every record under a fresh key file, without a window",
     [](const char*) { return QuorvelRekey(); }},
    {"--passphrase", nullptr, "set, change or remove the passphrase that seals the key file, without a window",
     [](const char*) { return QuorvelPassphrase(); }},
    {"--import", "FILE",
     "add the records of another keeper's CSV export (KeePassXC, Bitwarden, 1Password, ...), without a window",
     QuorvelImport},
    {"--export", "FILE", "write every record to FILE, a new and unencrypted CSV file, without a window", QuorvelExport},
    {"--list", nullptr, "print every record's description, one a line, without a window",
     [](const char*) { return QuorvelList(); }},
    {"--show", "TEXT",
     "print the password, user name, web address, one-time code and notes of the one record "
     "whose description contains TEXT",
     QuorvelShow},
    {"--totp", "TEXT", "print the current one-time code of the one record whose description contains TEXT",
     QuorvelTotp},
    {"--generate", "[OPTION]...",
     "print one new password, and its strength on standard error, without a pair or a window", nullptr, RunGenerate},
    {"--help", nullptr, "show this help and the folder that holds the files", RunHelp},
    {"--version", nullptr, "show the version", RunVersion},
};

void PrintUsage(FILE* out) {
  fprintf(out, "Usage: quorvel [OPTION]\nWithout an option, opens the password keeper's window.\n\nOptions:\n");
  for (const TCommandOption& option : kOptions) {
    std::string left = option.name;
    if (option.argument) left = left + " " + option.argument;
    fprintf(out, "  %-16s %s\n", left.c_str(), option.help);
  }
  fprintf(out,
          "\nOptions of --generate (without a class: upper, lower and digits):\n"
          "  --length N       N characters, 1 to 999 (20 without it)\n"
          "  --upper          upper-case letters A to Z\n"
          "  --lower          lower-case letters a to z\n"
          "  --digits         digits 0 to 9\n"
          "  --symbols        the 32 ASCII punctuation characters\n"
          "  --no-look-alikes leave out 0 O 1 l I |\n"
          "  --words N        instead, a passphrase of N words (1 to 99) of the EFF's large list\n"
          "  --separator S    between the words, one printable character (a space without it)\n");
}

int RunHelp(const char*) {
  PrintUsage(stdout);
  const TDataFolder folder = QuorvelDataFolder();
  if (folder.path.empty())
    printf("\nFiles: quorvel.key and quorvel.dat; where is unknown: %s.\n", folder.problem.c_str());
  else
    printf("\nFiles: quorvel.key and quorvel.dat in %s\n", folder.path.c_str());
  return 0;
}

int RunVersion(const char*) {
  printf("Quorvel 1.2b (build %s)\n", QUORVEL_BUILD_VERSION);
  return 0;
}

int Misuse(const char* what, const char* name) {
  fprintf(stderr, "quorvel: %s \"%s\"\n", what, name);
  PrintUsage(stderr);
  return kUsageStatus;
}

int RunGenerate(int argc, char** argv) {
  TGeneratorSettings settings;
  if (const std::string problem = GenerateOptionsRead(argc, argv, settings); !problem.empty()) {
    fprintf(stderr, "quorvel: --generate: %s\n", problem.c_str());
    PrintUsage(stderr);
    return kUsageStatus;
  }
  return QuorvelGenerate(settings);
}
}  // namespace

int CommandLineRun(int argc, char** argv, TOpenWindow openWindow) {
  if (argc < 2) openWindow();
  for (const TCommandOption& option : kOptions) {
    if (strcmp(argv[1], option.name) != 0) continue;
    if (option.runWithOptions) return option.runWithOptions(argc - 2, argv + 2);
    const int wanted = option.argument ? 3 : 2;
    if (argc < wanted) return Misuse("missing argument for", argv[1]);
    if (argc > wanted) return Misuse("unexpected argument", argv[wanted]);
    return option.run(option.argument ? argv[2] : nullptr);
  }
  return Misuse("unknown option", argv[1]);
}
