#include "peers.h"

#include <edlib.h>
#include <parasail.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {

const char kResidues[] = "ACDEFGHIKLMNPQRSTVWY";

typedef parasail_result_t* (*ParasailFunction)(const char*, int, const char*, int, int, int,
                                               const parasail_matrix_t*);

struct Variant {
  std::string name;
  ParasailFunction function;
};

const std::vector<Variant>& variants() {
  static const std::vector<Variant> all = {
      {"striped_16", parasail_nw_trace_striped_16},   {"striped_32", parasail_nw_trace_striped_32},
      {"striped_sat", parasail_nw_trace_striped_sat}, {"scan_16", parasail_nw_trace_scan_16},
      {"scan_32", parasail_nw_trace_scan_32},         {"scan_sat", parasail_nw_trace_scan_sat},
      {"diag_16", parasail_nw_trace_diag_16},         {"diag_32", parasail_nw_trace_diag_32},
  };
  return all;
}

}  // namespace

std::string randomProtein(size_t length, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> residue(0, 19);
  std::string s(length, 'A');
  for (char& c : s) c = kResidues[residue(random)];
  return s;
}

std::string mutatedProtein(const std::string& a, int percent, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> hundred(0, 99), kind(0, 2), residue(0, 19);
  std::string b;
  b.reserve(a.size() + a.size() / 10);
  for (char c : a) {
    if (hundred(random) >= percent) {
      b += c;
      continue;
    }
    switch (kind(random)) {
      case 0: {  // substitution by a different residue
        char other;
        do other = kResidues[residue(random)];
        while (other == c);
        b += other;
        break;
      }
      case 1:  // insertion before the residue
        b += kResidues[residue(random)];
        b += c;
        break;
      default:  // deletion
        break;
    }
  }
  return b;
}

const std::vector<std::string>& pairKinds() {
  static const std::vector<std::string> kinds = {"related1", "related10", "related30", "unrelated"};
  return kinds;
}

ProteinPair proteinPair(const std::string& kind, size_t length) {
  const std::vector<std::string>& kinds = pairKinds();
  if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
    throw std::invalid_argument("unknown pair kind " + kind);
  }
  ProteinPair pair;
  pair.a = randomProtein(length, 1);
  if (kind == "unrelated") {
    pair.b = randomProtein(length, 2);
  } else {
    pair.b = mutatedProtein(pair.a, std::stoi(kind.substr(std::string("related").size())), 3);
  }
  return pair;
}

int edlibDistance(const std::string& a, const std::string& b) {
  EdlibAlignResult result =
      edlibAlign(a.data(), int(a.size()), b.data(), int(b.size()),
                 edlibNewAlignConfig(-1, EDLIB_MODE_NW, EDLIB_TASK_DISTANCE, nullptr, 0));
  int distance = result.editDistance;
  edlibFreeAlignResult(result);
  return distance;
}

int parasailAlign(const std::string& variant, const std::string& a, const std::string& b,
                  bool withCigar) {
  ParasailFunction function = nullptr;
  for (const Variant& v : variants())
    if (v.name == variant) function = v.function;
  if (!function) throw std::invalid_argument("unknown variant " + variant);
  parasail_matrix_t* matrix = parasail_matrix_create(kResidues, 1, -1);
  parasail_result_t* result =
      function(a.data(), int(a.size()), b.data(), int(b.size()), 1, 1, matrix);
  int score = parasail_result_get_score(result);
  if (withCigar) {
    parasail_cigar_t* cigar =
        parasail_result_get_cigar(result, a.data(), int(a.size()), b.data(), int(b.size()), matrix);
    parasail_cigar_free(cigar);
  }
  parasail_result_free(result);
  parasail_matrix_free(matrix);
  return score;
}

const std::vector<std::string>& parasailVariants() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const Variant& v : variants()) n.push_back(v.name);
    return n;
  }();
  return names;
}
