#include "training/linear_solve.h"

#include <boost/numeric/ublas/lu.hpp>

namespace training {

namespace ublas = boost::numeric::ublas;

bool solveLinear(ublas::matrix<double> a, ublas::vector<double>* b) {
  ublas::permutation_matrix<size_t> pivots(a.size1());
  if (ublas::lu_factorize(a, pivots) != 0) return false;
  ublas::lu_substitute(a, pivots, *b);
  return true;
}

}  // namespace training
