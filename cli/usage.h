#pragma once
// The usage text of quillet-cli, one place for every command.

namespace quillet::cli {

inline constexpr const char* kUsage =
    "Usage: quillet-cli dump FILE.pdb [--json]\n"
    "       quillet-cli import FOLDER [--db FILE]\n"
    "       quillet-cli export FOLDER [--db FILE]\n"
    "       quillet-cli total [--db FILE] [--total-currency ID] [FILTER...]\n"
    "       quillet-cli total --by GROUPING [--db FILE] [--total-currency ID] [FILTER...]\n"
    "       quillet-cli report FILE [--csv] [--db FILE] [--total-currency ID] [FILTER...]\n"
    "       quillet-cli -h | --help\n"
    "\n"
    "Commands:\n"
    "  dump    show a handheld database file: its header, every record's offset,\n"
    "          attributes, unique ID and length, and for the ten Quillet databases\n"
    "          each record decoded into its fields\n"
    "  import  replace the store's data with the ten handheld files in FOLDER\n"
    "  export  write the store's ten tables into FOLDER as handheld files\n"
    "  total   print the filtered transactions' total in one currency and its name\n"
    "  report  write the filtered transactions' report into FILE (text, or\n"
    "          comma-separated with --csv); total and report change nothing stored\n"
    "\n"
    "Options:\n"
    "  --json     print the dump as one JSON object\n"
    "  --db FILE  the store file; default: $XDG_DATA_HOME (else ~/.local/share)\n"
    "             + /KorvellInc/QuilletDesktop/Quillet.mdb\n"
    "  --total-currency ID  the total's currency; default: the saved choice\n"
    "  --by GROUPING  before the total, one line per group, \"name<TAB>amount\":\n"
    "             month (ascending, YYYY-MM), category1..category4, account-to,\n"
    "             account-from, currency (by descending amount)\n"
    "\n"
    "Filter (without any, the saved filter state applies; with any, only those given):\n"
    "  --account-to ID  --account-from ID  --category1 ID .. --category4 ID\n"
    "  --currency ID    --from DATE  --to DATE   (DATE: YYYY-MM-DD[THH:MM[:SS]])\n"
    "  --receipt yes|no  --billable yes|no  --cleared yes|no\n"
    "  --all            every condition off\n"
    "\n"
    "Exit status: 0 every file was read or written, 1 some file was not,\n"
    "2 bad arguments, or a store or file that cannot be opened.\n";

}  // namespace quillet::cli
