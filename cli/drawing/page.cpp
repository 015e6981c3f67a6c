#include "cli/drawing/page.h"

#include "cli/drawing/svg.h"

namespace lumaveil::cli::drawing {

using report_input::ReportContents;

std::string index_html(const ReportContents& r, const inputs::LensView* lens,
                       const std::vector<Figure>& figures, const std::string& date,
                       const std::vector<std::string>& notes) {
  std::string title = lens != nullptr && !lens->title.empty() ? lens->title : "Lumaveil report";
  std::string html =
      std::string("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n") +
      kPageGenerator + "\n<title>" + escape(title) +
      "</title>\n<style>\n"
      "body { font-family: DejaVu Sans, Liberation Sans, Arial, sans-serif; margin: 24px; color: "
      "#111; }\n"
      "h1 { font-size: 26px; margin-bottom: 4px; }\n"
      "p.meta { font-size: 16px; color: #333; margin-top: 0; }\n"
      "p.note { color: #a00000; }\n"
      // The figures fill the window's width: as many columns of at least
      // 640 px as fit, each image scaled to its column (SVG stays sharp).
      "main { display: grid; grid-template-columns: repeat(auto-fill, minmax(640px, 1fr)); gap: "
      "16px; }\n"
      "figure { margin: 0; }\n"
      // The lens layout is long and flat: it takes a row of its own.
      "figure.wide { grid-column: 1 / -1; }\n"
      "figure.wide img { width: auto; max-width: 100%; }\n"
      "figure img { border: 1px solid #ccc; width: 100%; height: auto; }\n"
      "figcaption { font-size: 15px; }\n"
      "</style>\n</head>\n<body>\n<h1>" +
      escape(title) + "</h1>\n<p class=\"meta\">" + escape(report_input::mode_title(r.mode)) +
      " &#8212; report of " + escape(date) + " &#8212; first line: <span lang=\"ja\">" +
      escape(r.heading) + "</span></p>\n";
  for (const auto& note : notes) html += "<p class=\"note\">" + escape(note) + "</p>\n";
  html += "<main>\n";
  for (const auto& f : figures)
    html += std::string(f.wide ? "<figure class=\"wide\">" : "<figure>") + "<img src=\"" +
            escape(f.file) + "\" alt=\"" + escape(f.caption) + "\"/><figcaption>" +
            escape(f.caption) + "</figcaption></figure>\n";
  html += "</main>\n</body>\n</html>\n";
  return html;
}

}  // namespace lumaveil::cli::drawing
