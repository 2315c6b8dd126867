// Dense linear systems for the model fits (a handful of unknowns).
#ifndef TRAINING_LINEAR_SOLVE_H
#define TRAINING_LINEAR_SOLVE_H

#include <boost/numeric/ublas/matrix.hpp>
#include <boost/numeric/ublas/vector.hpp>

namespace training {

// Solves a x = b by LU factorisation, x in place of b; false when a is
// singular.
bool solveLinear(boost::numeric::ublas::matrix<double> a, boost::numeric::ublas::vector<double>* b);

}  // namespace training

#endif
