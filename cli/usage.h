#pragma once
// The usage text of quillet-cli, one place for every command.

namespace quillet::cli {

inline constexpr const char* kUsage =
    "Usage: quillet-cli dump FILE.pdb [--json]\n"
    "       quillet-cli import FOLDER [--db FILE]\n"
    "       quillet-cli export FOLDER [--db FILE]\n"
    "       quillet-cli import --user ID [--db FILE]\n"
    "       quillet-cli export --user ID [--db FILE]\n"
    "       quillet-cli sample FOLDER [--transactions N] [--seed S]\n"
    "       quillet-cli -h | --help\n"
    "\n"
    "Commands:\n"
    "  dump    show a handheld database file: its header, every record's offset,\n"
    "          attributes, unique ID and length, and for the ten Quillet databases\n"
    "          each record decoded into its fields\n"
    "  import  replace the store's data with the ten handheld files in FOLDER\n"
    "  export  write the store's ten tables into FOLDER as handheld files\n"
    "          (with --user: import from the sync software user's backup folder,\n"
    "          export through its install service, as the window's automatic\n"
    "          exchange does)\n"
    "  sample  write a realistic handheld folder (the ten files) into FOLDER\n"
    "\n"
    "Options:\n"
    "  --json     print the dump as one JSON object\n"
    "  --db FILE  the store file; default: $XDG_DATA_HOME (else ~/.local/share)\n"
    "             + /KorvellInc/QuilletDesktop/Quillet.mdb\n"
    "  --user ID  the sync software's user, its ID in hexadecimal as the window\n"
    "             shows it (000000FF); the sync software is found through the\n"
    "             DesktopPath and Path values of its settings key\n"
    "  --transactions N  transactions in the sample (default 500, at most 65535)\n"
    "  --seed S   the sample's random seed (default 1): the same seed, the same files\n"
    "\n"
    "Exit status: 0 every file was read or written, 1 some file was not,\n"
    "2 bad arguments, a store or file that cannot be opened, no sync software\n"
    "or no such user.\n";

}  // namespace quillet::cli
