#include "scoring/alignment_formats.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "scoring/text_scan.h"

namespace scoring {

namespace {

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    size_t end = i;
    while (end < line.size() && !isBlank(line[end])) ++end;
    if (end > i) out.push_back(line.substr(i, end - i));
    i = end;
  }
  return out;
}

struct FormatInfo {
  TextFormat format;
  const char* name;
  const char* extension;
};

const FormatInfo kFormats[] = {{TextFormat::kClustal, "clustal", ".aln"},
                               {TextFormat::kStockholm, "stockholm", ".sto"},
                               {TextFormat::kPhylip, "phylip", ".phy"},
                               {TextFormat::kMsf, "msf", ".msf"}};

const FormatInfo& info(TextFormat format) {
  for (const FormatInfo& f : kFormats)
    if (f.format == format) return f;
  return kFormats[0];
}

std::string padded(const std::string& name, size_t width) {
  return name + std::string(width > name.size() ? width - name.size() : 0, ' ');
}

size_t longest(const std::vector<std::string>& names) {
  size_t n = 0;
  for (const std::string& s : names) n = std::max(n, s.size());
  return n;
}

bool gapAt(char c) { return c == '-' || c == '.' || c == '~'; }

// Letters of a Clustal W group as a mask over 'A'..'Z'.
uint32_t letterMask(const char* letters) {
  uint32_t mask = 0;
  for (; *letters; ++letters) mask |= 1u << (*letters - 'A');
  return mask;
}

char conservation(const std::vector<std::string>& rows, size_t column) {
  static const char* const kStrong[] = {"STA",  "NEQK", "NHQK", "NDEQ", "QHRK",
                                        "MILV", "MILF", "HY",   "FYW"};
  static const char* const kWeak[] = {"CSA",    "ATV",    "SAG",    "STNK",  "STPA", "SGND",
                                      "SNDEQK", "NDEQHK", "NEQHRK", "FVLIM", "HFY"};
  uint32_t seen = 0;
  for (const std::string& row : rows) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(row[column])));
    if (c < 'A' || c > 'Z') return ' ';  // a gap, or no letter Clustal would group
    seen |= 1u << (c - 'A');
  }
  if ((seen & (seen - 1)) == 0) return '*';
  for (const char* g : kStrong)
    if ((seen & ~letterMask(g)) == 0) return ':';
  for (const char* g : kWeak)
    if ((seen & ~letterMask(g)) == 0) return '.';
  return ' ';
}

std::string clustal(const std::vector<std::string>& names, const std::vector<std::string>& rows) {
  std::string text = "CLUSTAL W multiple sequence alignment\n\n";
  const size_t width = longest(names) + 6, columns = rows.empty() ? 0 : rows[0].size();
  for (size_t at = 0; at < columns; at += 60) {
    const size_t n = std::min<size_t>(60, columns - at);
    text += "\n";
    for (size_t i = 0; i < rows.size(); ++i) {
      text += padded(names[i], width);
      for (size_t c = at; c < at + n; ++c) text += gapAt(rows[i][c]) ? '-' : rows[i][c];
      text += "\n";
    }
    std::string marks(width, ' ');
    for (size_t c = at; c < at + n; ++c) marks += conservation(rows, c);
    text += marks + "\n";
  }
  return text;
}

// The rows' block of a Stockholm file, each name padded to width.
std::string stockholmRows(const std::vector<std::string>& names,
                          const std::vector<std::string>& rows, size_t width) {
  std::string text;
  for (size_t i = 0; i < rows.size(); ++i) {
    text += padded(names[i], width);
    for (char c : rows[i]) text += gapAt(c) ? '-' : c;
    text += "\n";
  }
  return text;
}

std::string stockholm(const std::vector<std::string>& names, const std::vector<std::string>& rows) {
  return "# STOCKHOLM 1.0\n\n" + stockholmRows(names, rows, longest(names) + 1) + "//\n";
}

std::string phylip(const std::vector<std::string>& names, const std::vector<std::string>& rows) {
  std::string text =
      std::to_string(rows.size()) + " " + std::to_string(rows.empty() ? 0 : rows[0].size()) + "\n";
  const size_t width = longest(names) + 1;
  for (size_t i = 0; i < rows.size(); ++i) {
    text += padded(names[i], width);
    for (char c : rows[i]) text += gapAt(c) ? '-' : c;  // PHYLIP's '.' is "as row 1"
    text += "\n";
  }
  return text;
}

// GCG's checksum of a row as written.
int gcgCheck(const std::string& row) {
  long check = 0;
  for (size_t i = 0; i < row.size(); ++i)
    check += static_cast<long>(i % 57 + 1) * std::toupper(static_cast<unsigned char>(row[i]));
  return static_cast<int>(check % 10000);
}

std::string msf(const std::vector<std::string>& names, const std::vector<std::string>& input) {
  std::vector<std::string> rows = input;
  bool nucleotides = false, protein = false;
  for (std::string& row : rows) {
    for (char& c : row) {
      if (gapAt(c)) {
        c = '.';
      } else if (std::string("ACGTUNacgtun").find(c) != std::string::npos) {
        nucleotides = true;
      } else {
        protein = true;
      }
    }
  }
  const char type = nucleotides && !protein ? 'N' : 'P';
  const size_t columns = rows.empty() ? 0 : rows[0].size(), width = longest(names) + 2;
  int total = 0;
  std::string nameLines;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int check = gcgCheck(rows[i]);
    total = (total + check) % 10000;
    char line[96];
    std::snprintf(line, sizeof line, "Len: %zu  Check: %4d  Weight: 1.00\n", columns, check);
    nameLines += " Name: " + padded(names[i], width) + line;
  }
  std::string text =
      type == 'N' ? "!!NA_MULTIPLE_ALIGNMENT 1.0\n\n" : "!!AA_MULTIPLE_ALIGNMENT 1.0\n\n";
  char header[96];
  std::snprintf(header, sizeof header, " MSF: %zu  Type: %c  Check: %4d  ..\n\n", columns, type,
                total);
  text += header + nameLines + "\n//\n";
  for (size_t at = 0; at < columns; at += 50) {
    text += "\n";
    for (size_t i = 0; i < rows.size(); ++i) {
      text += padded(names[i], width);
      for (size_t c = at; c < std::min(columns, at + 50); c += 10)
        text += (c > at ? " " : "") + rows[i].substr(c, std::min<size_t>(10, columns - c));
      text += "\n";
    }
  }
  return text;
}

std::string replaceBlanks(const std::string& header) {
  std::string out;
  for (char c : header) {
    if (!isBlank(c)) {
      out += c;
    } else if (out.empty() || out.back() != '_') {
      out += '_';
    }
  }
  return out;
}

// Stockholm takes a line that starts with '#' for markup and "//" for the
// end; such a name is prefixed.
std::string safeStart(std::string name) {
  if (!name.empty() && (name[0] == '#' || name[0] == '/')) name.insert(0, "_");
  return name;
}

std::string lineError(size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// Rows gathered by name in order of first appearance.
struct RowCollector {
  std::vector<std::string> names, rows;
  std::unordered_map<std::string, size_t> index;
  size_t add(std::string_view name) {
    auto it = index.emplace(std::string(name), names.size());
    if (it.second) {
      names.emplace_back(name);
      rows.emplace_back();
    }
    return it.first->second;
  }
};

// Calls each(line, number) on every line; stops at the first false.
template <typename Each>
bool forEachLine(std::string_view text, Each each) {
  size_t number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.size();
    if (!each(text.substr(0, end), ++number)) return false;
    text.remove_prefix(std::min(text.size(), end + 1));
  }
  return true;
}

}  // namespace

const std::vector<TextFormat>& textFormats() {
  static const std::vector<TextFormat> all = {TextFormat::kClustal, TextFormat::kStockholm,
                                              TextFormat::kPhylip, TextFormat::kMsf};
  return all;
}

const char* formatName(TextFormat format) { return info(format).name; }
const char* formatExtension(TextFormat format) { return info(format).extension; }

bool formatByName(std::string_view name, TextFormat* format) {
  for (const FormatInfo& f : kFormats) {
    if (name == f.name) {
      *format = f.format;
      return true;
    }
  }
  return false;
}

std::vector<std::string> rowNames(const std::vector<std::string>& headers) {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  bool idsWork = true;
  for (const std::string& h : headers) {
    std::vector<std::string_view> w = words(h);
    names.push_back(safeStart(w.empty() ? std::string() : std::string(w[0])));
    idsWork = idsWork && !names.back().empty() && seen.insert(names.back()).second;
  }
  if (idsWork) return names;
  seen.clear();
  for (size_t i = 0; i < headers.size(); ++i) {
    const std::string base = safeStart(replaceBlanks(std::string(trim(headers[i]))));
    std::string name = base.empty() ? "seq" : base;
    for (int n = 2; !seen.insert(name).second; ++n) name = base + "_" + std::to_string(n);
    names[i] = name;
  }
  return names;
}

std::vector<std::string> formatRowNames(TextFormat format,
                                        const std::vector<std::string>& headers) {
  std::vector<std::string> names = rowNames(headers);
  if (format != TextFormat::kPhylip) return names;
  bool changed = false;
  for (std::string& name : names)
    for (char& c : name)
      if (std::strchr(":,();[]'\"", c) != nullptr && c != '\0') {
        c = '_';
        changed = true;
      }
  if (!changed) return names;
  // Made unique again in order; a numbered name is checked against every
  // name, as "a_2" may be a later row's own name.
  std::unordered_set<std::string> taken(names.begin(), names.end()), seen;
  for (std::string& name : names) {
    if (seen.insert(name).second) continue;
    std::string numbered;
    for (int n = 2;; ++n) {
      numbered = name + "_" + std::to_string(n);
      if (!taken.count(numbered)) break;
    }
    taken.insert(numbered);
    seen.insert(numbered);
    name = numbered;
  }
  return names;
}

std::string formatAlignment(TextFormat format, const std::vector<std::string>& headers,
                            const std::vector<std::string>& rows) {
  const std::vector<std::string> names = formatRowNames(format, headers);
  switch (format) {
    case TextFormat::kClustal:
      return clustal(names, rows);
    case TextFormat::kStockholm:
      return stockholm(names, rows);
    case TextFormat::kPhylip:
      return phylip(names, rows);
    case TextFormat::kMsf:
      return msf(names, rows);
  }
  return std::string();
}

char probabilityCharacter(double p) {
  if (std::isnan(p)) return '.';
  if (p >= 0.95) return '*';
  if (p < 0.05) return '0';
  return static_cast<char>('0' + static_cast<int>(p * 10 + 0.5));
}

bool formatStockholmWithConfidence(const std::vector<std::string>& headers,
                                   const std::vector<std::string>& rows,
                                   const std::vector<double>& column,
                                   const std::vector<std::vector<double>>& residues,
                                   std::string* text, std::string* error) {
  const size_t width = rows.empty() ? 0 : rows[0].size();
  if (!column.empty() && column.size() != width) {
    *error = "one column confidence a column expected";
    return false;
  }
  if (!residues.empty() && residues.size() != rows.size()) {
    *error = "one residue confidence line a row expected";
    return false;
  }
  const std::vector<std::string> names = formatRowNames(TextFormat::kStockholm, headers);
  // Room for "#=GR <name> PP " and "#=GC PP_cons ".
  const size_t nameWidth = std::max(longest(names) + 9, std::string("#=GC PP_cons").size() + 1);
  std::string out = "# STOCKHOLM 1.0\n\n" + stockholmRows(names, rows, nameWidth);
  for (size_t i = 0; i < residues.size(); ++i) {
    std::string line = padded("#=GR " + names[i] + " PP", nameWidth);
    size_t k = 0;
    for (char c : rows[i]) {
      if (gapAt(c)) {
        line += '.';
      } else if (k < residues[i].size()) {
        line += probabilityCharacter(residues[i][k++]);
      } else {
        *error = "row " + std::to_string(i + 1) + " has more residues than confidences";
        return false;
      }
    }
    if (k != residues[i].size()) {
      *error = "row " + std::to_string(i + 1) + " has fewer residues than confidences";
      return false;
    }
    out += line + "\n";
  }
  if (!column.empty()) {
    std::string line = padded("#=GC PP_cons", nameWidth);
    for (double p : column) line += probabilityCharacter(p);
    out += line + "\n";
  }
  *text = out + "//\n";
  return true;
}

namespace {

// One row line, "name residues [count]", added to c. In the first block a
// name comes once; each later block names the first block's rows in turn
// (inBlock of them read so far).
bool addClustalRow(std::string_view t, size_t number, bool firstBlockDone, size_t inBlock,
                   RowCollector* c, std::string* error) {
  const std::vector<std::string_view> w = words(t);
  bool count = w.size() == 3;
  for (char ch : count ? w[2] : std::string_view())
    count = count && std::isdigit(static_cast<unsigned char>(ch));
  if (w.size() != 2 && !count) {
    *error = lineError(number, "expected a name, residues and an optional count");
    return false;
  }
  if (!firstBlockDone) {
    if (c->index.count(std::string(w[0]))) {
      *error = lineError(number, "'" + std::string(w[0]) + "' appears twice in a block");
      return false;
    }
  } else if (inBlock >= c->names.size() || c->names[inBlock] != w[0]) {
    *error = lineError(number, inBlock >= c->names.size()
                                   ? "more rows than in the first block"
                                   : "expected '" + c->names[inBlock] +
                                         "', the first block's row " + std::to_string(inBlock + 1));
    return false;
  }
  c->rows[c->add(w[0])].append(w[1].data(), w[1].size());
  return true;
}

}  // namespace

bool parseClustal(std::string_view text, Alignment* out, std::string* error) {
  RowCollector c;
  bool sawHeader = false, firstBlockDone = false;
  size_t inBlock = 0;  // rows read in the current block
  // A block ends at a blank line; it must hold the first block's rows.
  auto endBlock = [&](size_t number) {
    if (inBlock == 0) return true;
    if (firstBlockDone && inBlock != c.names.size()) {
      *error = lineError(number, "the block has " + std::to_string(inBlock) + " rows, the first " +
                                     std::to_string(c.names.size()));
      return false;
    }
    firstBlockDone = true;
    inBlock = 0;
    return true;
  };
  const bool read = forEachLine(text, [&](std::string_view line, size_t number) {
    std::string_view t = trim(line);
    if (!sawHeader) {
      if (t.empty()) return true;
      if (t.substr(0, 7) != "CLUSTAL") {
        *error = lineError(number, "no CLUSTAL header");
        return false;
      }
      sawHeader = true;
      return true;
    }
    if (t.empty()) return endBlock(number);
    if (isBlank(line[0])) return true;  // conservation marks
    if (!addClustalRow(t, number, firstBlockDone, inBlock, &c, error)) return false;
    ++inBlock;
    return true;
  });
  if (!read) return false;
  if (!sawHeader) {
    *error = "no CLUSTAL header";
    return false;
  }
  if (!endBlock(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1)) return false;
  return packRows(std::move(c.names), std::move(c.rows), out, error);
}

bool parseStockholm(std::string_view text, Alignment* out, std::string* error) {
  RowCollector c;
  bool sawHeader = false, ended = false;
  const bool read = forEachLine(text, [&](std::string_view line, size_t number) {
    std::string_view t = trim(line);
    if (t.empty()) return true;
    if (!sawHeader) {
      if (t.substr(0, 15) != "# STOCKHOLM 1.0") {
        *error = lineError(number, "no '# STOCKHOLM 1.0' header");
        return false;
      }
      sawHeader = true;
      return true;
    }
    if (ended) {
      *error = lineError(number, "text after '//' (one alignment a file is read)");
      return false;
    }
    if (t == "//") {
      ended = true;
      return true;
    }
    if (t[0] == '#') return true;  // markup
    const std::vector<std::string_view> w = words(t);
    if (w.size() != 2) {
      *error = lineError(number, "expected a name and residues");
      return false;
    }
    c.rows[c.add(w[0])].append(w[1].data(), w[1].size());
    return true;
  });
  if (!read) return false;
  if (!sawHeader || !ended) {
    *error = sawHeader ? "no '//' line at the end" : "no '# STOCKHOLM 1.0' header";
    return false;
  }
  return packRows(std::move(c.names), std::move(c.rows), out, error);
}

}  // namespace scoring
