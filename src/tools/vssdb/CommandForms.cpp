#include "tools/vssdb/CommandForms.h"

#include <QtGlobal>

#include "platform/translation/Tr.h"

namespace vssdb {

using translation::Tr;

const std::vector<CommandForm>& Commands() {
  static const std::vector<CommandForm> commands = {
      {"create",
       1,
       1,
       {},
       "vssdb create DIR",
       QT_TRANSLATE_NOOP("vssdb", "Makes a new database in DIR (made if missing)."),
       false},
      {"user add",
       2,
       2,
       {{"--password", true}, {"--no-destroy", false}},
       "vssdb user add DIR NAME [--password P] [--no-destroy]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Adds a user; --no-destroy withholds the right to destroy. Only Admin may add users.")},
      {"mkdir",
       2,
       2,
       {},
       "vssdb mkdir DIR SPEC",
       QT_TRANSLATE_NOOP("vssdb", "Makes a project, and the missing projects above it.")},
      {"add",
       2,
       2,
       {{"--from", true}},
       "vssdb add DIR SPEC [--from FILE]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Adds a file holding FILE's content (empty without --from) to an existing project.")},
      {"delete",
       2,
       2,
       {},
       "vssdb delete DIR SPEC",
       QT_TRANSLATE_NOOP("vssdb", "Marks a live item deleted.")},
      {"compact",
       1,
       1,
       {},
       "vssdb compact DIR",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Gives the space a purge freed in the data file of our own format back to the file "
           "system: a compacted copy is written beside it, synced, given the file's owner, group "
           "and mode, and renamed into its place. Needs the destroy right. Refused, with nothing "
           "changed, while another program has the database open (processes of other users are "
           "seen only by root) or when it changes meanwhile.")},
      {"cat",
       2,
       2,
       {{"--codepage", true}},
       "vssdb cat DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Writes the latest content of the file SPEC, deleted or not, to standard output, byte "
           "for "
           "byte; nothing in the database is written. Where a live file and deleted ones share the "
           "path the live one is written; several deleted ones and no live one are refused.")},
      {"recover",
       2,
       2,
       {{"--codepage", true}},
       "vssdb recover DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Brings a deleted item back where it was; refused while a live item of its project has "
           "its name. A project comes back without the deleted items below it. In a SourceSafe 6 "
           "database only files that are not shared, pinned, branched or checked out are "
           "recovered (projects are refused), with the same journal and locks as a destroy.")},
      {"destroy",
       2,
       2,
       {{"--codepage", true}},
       "vssdb destroy DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Destroys a deleted item for good. A live item is refused, and so is a spec that "
           "several deleted items share. In a SourceSafe 6 database only the kinds of item whose "
           "destroy is known are destroyed (not shared, branched, pinned, labelled or checked "
           "out); the others are refused with their reason and nothing is written. Its names are "
           "read in the Windows code page CP (default CP1252; a name or a number).")},
      {"list",
       1,
       2,
       {{"--deleted", false},
        {"--long", false},
        {"--codepage", true},
        {"--format", true},
        {"--deleted-before", true},
        {"--deleted-by", true}},
       "vssdb list DIR [SPEC] [--deleted] [--long] [--format text|json|csv] "
       "[--deleted-before DATE] [--deleted-by USER] [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Lists SPEC (default $/) and everything below it, one spec a line, depth first, each "
           "item "
           "before its children; --deleted lists only the items marked deleted; --long puts the "
           "kind (project or file), the deleted mark and the size in bytes before each spec. With "
           "--deleted, --format json or csv gives the deleted entries as the window lists them, "
           "for reports: path, kind, size, items_below and bytes_below (what a project's destroy "
           "takes with it), complete (false when some of it could not be read), deleted_on (the "
           "wall-clock time the database recorded, as 2017-02-21T07:55:02) and deleted_by (null "
           "when the database does not record them). --deleted-before DATE (as 2024-01-31) lists "
           "only the items deleted before that day, --deleted-by USER only those USER deleted (any "
           "letter case); an item whose delete is not recorded is listed by neither. DIR "
           "may also be a SourceSafe 6 database; its names are read in the Windows code page CP "
           "(default CP1252), given by name or number (GBK or 936, CP1251 or 1251, ...), and "
           "each user logs in with their password, in any letter case.")},
      {"purge",
       1,
       1,
       {{"--match", true},
        {"--exclude", true},
        {"--dry-run", false},
        {"--yes", false},
        {"--format", true},
        {"--report", true},
        {"--keep-copy", true},
        {"--no-copy", false},
        {"--deleted-before", true},
        {"--deleted-by", true},
        {"--codepage", true}},
       "vssdb purge DIR [--match P]... [--exclude P]... [--deleted-before DATE] "
       "[--deleted-by USER] [--dry-run] [--yes] "
       "[--format text|json|csv] [--report FILE] [--keep-copy FOLDER | --no-copy] "
       "[--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Purges deleted items as the window does: lists every deleted entry, selects those "
           "whose "
           "path matches a --match pattern (all without one) and no --exclude pattern, and "
           "destroys "
           "them bottom-up. Patterns are the window's filter: * any run of characters, ? one, case "
           "does not count; without a wildcard a name containing P matches; with a / the whole "
           "path "
           "is matched ('$/Old/*'). --deleted-before DATE (as 2024-01-31) and --deleted-by USER "
           "select only the entries deleted before that day, or by that user (any letter case), "
           "as the database recorded it; an entry whose delete is not recorded is selected by "
           "neither. A project is destroyed only when every deleted entry below it is "
           "selected too; otherwise it is kept. --dry-run prints what would go and the totals and "
           "changes nothing. At a terminal the purge asks first ([y/N]) unless --yes; without a "
           "terminal it is refused without --yes. Ctrl+C stops after the item in hand. Progress "
           "goes to standard error at a terminal; the report (each entry's outcome and the "
           "summary) to standard output, and with --report FILE the window's plain-text purge "
           "report "
           "to FILE as well. Entries the engine would refuse (shared, pinned, branched, checked "
           "out, "
           "or holding such an entry) are kept and say why before anything is destroyed. Before "
           "the "
           "first destroy a copy of everything it destroys is written to a tar archive in FOLDER "
           "(default ~/.local/share/scourwell/kept): each file's latest content, the database's "
           "own "
           "files of each item and a manifest.json; vssdb restore puts it back. A copy that cannot "
           "be written stops the purge before anything is destroyed; --no-copy keeps none. Exit "
           "status: "
           "0 when everything selected was destroyed, "
           "3 when some were kept or refused (shared, pinned, checked out, changed since listed, "
           "locked, no right), 1 on any other failure, when stopped, or when not confirmed.")},
      {"restore",
       1,
       2,
       {{"--to", true}},
       "vssdb restore COPY DIR | vssdb restore COPY --to FOLDER",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Puts the entries of COPY, a copy kept before a purge, back into the database DIR of "
           "our own format as they were: deleted, with their content. An entry whose project is "
           "gone or whose name a deleted item of the project has now is refused, with the reason, "
           "and the others go on (exit status 3). A SourceSafe 6 database is not written: --to "
           "FOLDER extracts the copy's files there instead (never over a file there already).")},
      {"kept",
       0,
       1,
       {{"--older-than", true}, {"--remove", false}},
       "vssdb kept [FOLDER] [--older-than DAYS] [--remove]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Lists the copies kept before purges in FOLDER (default ~/.local/share/scourwell/kept), "
           "oldest first: when each was written, its size, how many entries it holds and the "
           "database it came from. --older-than DAYS lists only those written more than DAYS days "
           "ago, and with --remove removes them (--remove needs --older-than, so that no copy goes "
           "by mistake). Nothing else in the folder is touched."),
       false},
      {"generate",
       1,
       1,
       {{"--items", true}, {"--deleted", true}, {"--seed", true}},
       "vssdb generate DIR --items N [--deleted FRACTION] [--seed S]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Makes a new database holding a random tree of N items (projects nested up to 8 deep, "
           "about one project per ten files), FRACTION of them deleted. The same seed gives the "
           "same "
           "tree."),
       false},
      {"check",
       1,
       1,
       {{"--codepage", true}},
       "vssdb check DIR [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Checks the database; prints each fault and exits 1 when there is one. Needs no login: "
           "it reads the files and changes nothing, so anyone who may read them may check them. "
           "DIR may also be a SourceSafe 6 database (its srcsafe.ini names a Data_Path): then "
           "every record's check value, the header counts against the records and entries, the "
           "parent-folder records against the entries naming each file, each project's log "
           "against its entries, the entries' order, two live entries of a project named alike "
           "but for letter case, item files that no project names, and a journal or record of a "
           "destroy that was cut off (whose it is, and the files it names that entries still use) "
           "are checked, each fault with its file and names read in the code page CP."),
       false},
  };
  return commands;
}

const CommandForm* FindCommand(std::string_view name) {
  for (const CommandForm& form : Commands()) {
    if (form.name == name) {
      return &form;
    }
  }
  return nullptr;
}

std::string Usage(std::string_view synopsis) {
  return Tr("vssdb", "usage: %1").Fill(std::string(synopsis));
}

std::string Purpose(const CommandForm& form) {
  return Tr("vssdb", std::string(form.purpose).c_str()).Str();
}

}  // namespace vssdb
