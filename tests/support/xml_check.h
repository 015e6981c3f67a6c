// A small checker of well-formed XML for the tests: matching tags, quoted
// attributes, known entities, no stray markup characters. Returns an empty
// string for a well-formed document, else what is wrong and where.
#ifndef LUMAVEIL_TESTS_CLI_XML_CHECK_H
#define LUMAVEIL_TESTS_CLI_XML_CHECK_H

#include <cctype>
#include <string>
#include <vector>

namespace lumaveil::testing {

inline bool xml_name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
         c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

// An entity reference at text[at] ('&'): its length, or 0 when it is none.
inline std::size_t xml_entity(const std::string& text, std::size_t at) {
  std::size_t semi = text.find(';', at);
  if (semi == std::string::npos || semi - at > 10) return 0;
  std::string name = text.substr(at + 1, semi - at - 1);
  if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos")
    return semi - at + 1;
  if (name.size() > 1 && name[0] == '#') {
    bool hex = name[1] == 'x';
    for (std::size_t k = hex ? 2 : 1; k < name.size(); ++k)
      if (!(hex ? std::isxdigit(static_cast<unsigned char>(name[k]))
                : std::isdigit(static_cast<unsigned char>(name[k]))))
        return 0;
    if (name.size() > (hex ? 2u : 1u)) return semi - at + 1;
  }
  return 0;
}

inline std::string xml_problem(const std::string& text) {
  std::vector<std::string> open;
  std::size_t i = 0;
  bool root_seen = false;
  auto where = [&](std::size_t at) { return " at byte " + std::to_string(at); };
  while (i < text.size()) {
    char c = text[i];
    if (c == '&') {
      std::size_t n = xml_entity(text, i);
      if (n == 0) return "bad entity" + where(i);
      i += n;
      continue;
    }
    if (c == '>') return "stray '>'" + where(i);
    if (c != '<') {
      if (open.empty() && !std::isspace(static_cast<unsigned char>(c)))
        return "text outside the root" + where(i);
      ++i;
      continue;
    }
    if (text.compare(i, 5, "<?xml") == 0) {
      if (i != 0) return "XML declaration not at the start";
      std::size_t end = text.find("?>", i);
      if (end == std::string::npos) return "unterminated declaration";
      i = end + 2;
      continue;
    }
    if (text.compare(i, 4, "<!--") == 0) {
      std::size_t end = text.find("-->", i);
      if (end == std::string::npos) return "unterminated comment" + where(i);
      i = end + 3;
      continue;
    }
    bool closing = i + 1 < text.size() && text[i + 1] == '/';
    std::size_t k = i + (closing ? 2 : 1);
    std::size_t name_start = k;
    while (k < text.size() && xml_name_char(text[k])) ++k;
    std::string name = text.substr(name_start, k - name_start);
    if (name.empty()) return "element without a name" + where(i);
    if (closing) {
      while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k]))) ++k;
      if (k >= text.size() || text[k] != '>') return "bad end tag" + where(i);
      if (open.empty() || open.back() != name)
        return "end tag </" + name + "> does not match" + where(i);
      open.pop_back();
      i = k + 1;
      continue;
    }
    if (open.empty() && root_seen) return "a second root element" + where(i);
    root_seen = true;
    std::vector<std::string> attributes;
    while (true) {
      std::size_t before = k;
      while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k]))) ++k;
      if (k >= text.size()) return "unterminated tag <" + name;
      if (text[k] == '>' || text.compare(k, 2, "/>") == 0) break;
      if (k == before) return "attributes not separated" + where(k);
      std::size_t a = k;
      while (k < text.size() && xml_name_char(text[k])) ++k;
      std::string attribute = text.substr(a, k - a);
      if (attribute.empty() || k + 1 >= text.size() || text[k] != '=' || text[k + 1] != '"')
        return "bad attribute in <" + name + ">" + where(a);
      for (const auto& seen : attributes)
        if (seen == attribute) return "repeated attribute " + attribute + where(a);
      attributes.push_back(attribute);
      std::size_t end = text.find('"', k + 2);
      if (end == std::string::npos) return "unterminated attribute value" + where(a);
      for (std::size_t v = k + 2; v < end; ++v) {
        if (text[v] == '<') return "'<' in an attribute value" + where(v);
        if (text[v] == '&' && xml_entity(text, v) == 0)
          return "bad entity in an attribute" + where(v);
      }
      k = end + 1;
    }
    if (text[k] == '/') {
      i = k + 2;
    } else {
      open.push_back(name);
      i = k + 1;
    }
  }
  if (!open.empty()) return "element <" + open.back() + "> is not closed";
  if (!root_seen) return "no root element";
  return "";
}

}  // namespace lumaveil::testing

#endif
