// `lumaveil plot`: the report's figures as SVG files and the page that
// shows them.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include "cli/commands/command_line.h"
#include "cli/commands/output_paths.h"
#include "cli/commands/report_file.h"
#include "cli/drawing/figures.h"
#include "cli/drawing/page.h"
#include "cli/inputs/lens_view.h"
#include "cli/report_input/file_bytes.h"
#include "model/file_access.h"

namespace lumaveil::cli::commands {

namespace {

std::string modification_date(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "unknown date";
  std::time_t t = st.st_mtime;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[64];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", &tm);
  return buffer;
}

// Whether the index.html at `path` is a page plot wrote (it carries plot's
// generator line near its start); a link or any other file is not. Only a
// regular file is opened, and only its head is read.
bool written_by_plot(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  int error = 0;
  std::FILE* file = open_regular_file(path.c_str(), FileUse::kRead, error);
  if (file == nullptr) return false;
  char head[4096];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return std::string(head, got).find(drawing::kPageGenerator) != std::string::npos;
}

// The reason not to write the page at `path`: an index.html that plot did
// not write stands there and --force was not given.
bool foreign_page(const Invocation& call, const std::string& path, const std::string& shown) {
  struct stat st {};
  if (call.options.has("--force") || lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;  // refused when written
  if (written_by_plot(path)) return false;
  std::fprintf(stderr,
               "lumaveil plot: %s was not written by lumaveil plot; give --force to replace it, "
               "or -o another folder\n",
               shown.c_str());
  return true;
}

// Why the page shows no lens: the file's reason, "not found" when it is
// missing.
std::string lens_note(const inputs::InputFile& file) {
  const std::string why = file.error == ENOENT ? "IN_FM.txt not found"
                                               : "IN_FM.txt cannot be read (" + file.reason + ")";
  return why + ": no lens title, wavelengths by number, no surfaces in the layout";
}

}  // namespace

int plot_command(const Invocation& call) {
  const std::string folder = call.options.value("-o", "plots");
  const Status spared = outputs_spare_inputs(call, "-o", {folder, folder + "/index.html"});
  if (!spared.ok()) return usage_failure(call, spared.reason());
  const std::optional<report_input::ReportContents> r = report_to_show(call, "plot", false);
  if (!r) return 1;
  drawing::FigureOptions options;
  options.residuals = call.options.has("--residuals");
  std::vector<std::string> notes;
  const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
  const bool have_lens = in->lens_file.read;
  inputs::LensView lens;
  if (have_lens)
    lens = inputs::lens_view(*in);
  else
    notes.push_back(lens_note(in->lens_file));
  const std::vector<drawing::Figure> figs =
      drawing::figures(*r, have_lens ? &lens : nullptr, options, &notes);

  const std::string shown = shown_path(call, folder);
  std::vector<report_input::NamedFile> files;
  for (const auto& f : figs) files.push_back({f.file, f.svg});
  files.push_back({"index.html", drawing::index_html(*r, have_lens ? &lens : nullptr, figs,
                                                     modification_date("OUT_M.xls"), notes)});
  if (foreign_page(call, folder + "/index.html", shown + "/index.html")) return 1;
  const Status written = report_input::write_files_into(folder, shown, files);
  if (!written.ok()) return command_failure(call, written.reason(), 1);
  std::printf("%s: %zu plots and index.html\n", shown.c_str(), figs.size());
  return 0;
}

}  // namespace lumaveil::cli::commands
