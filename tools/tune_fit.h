// The fit of the piece-square table source to game results: a logistic
// curve turns the evaluation of a quiet position into an expected result,
// its slope is fitted first, then the source's values by coordinate descent
// on the mean squared difference between expected and actual results.
#pragma once

#include <ostream>
#include <vector>

#include "eval/piece_square.h"
#include "tables_source.h"
#include "tune_set.h"

// Which samples an error is taken over: every one, or only those of the
// games held out of the fit (or only the others).
enum class SampleGroup { All, Fitted, HeldOut };

struct FitOptions {
    int maxPasses = 30;
    // Every n-th game (n > 1) is held out: the fit never sees it, and the
    // fit stops when the error on it stops falling. 0 fits on everything.
    int holdOutEvery = 10;
    // The first step of every value, in source units; it halves down to one
    // whenever a pass gains nothing at its step.
    int firstStep = 4;
    // What a value pays, added to the error, per squared source unit it
    // strays from where it started: the evidence a change needs. It keeps
    // values that few positions see close to the hand-written ones.
    double prior = 0;
    // Whether the blend range and the scale are fitted as well.
    bool fitBlendAndScale = true;
    std::ostream* progress = nullptr;
};

struct FitReport {
    double slope = 0;
    double errorBefore = 0;  // over the fitted samples
    double errorAfter = 0;
    double heldOutBefore = 0;
    double heldOutAfter = 0;
    // The fitted samples' error after each pass.
    std::vector<double> passErrors;
    int changes = 0;
};

// White's expected result for a score in engine units.
double expectedResult(double slope, double score);

// The mean squared error of the samples of the group, with these tables.
double meanError(const TuneSet& set, const PieceSquareTables& tables, double slope, SampleGroup group,
                 int holdOutEvery);

// The slope that fits the results best with these tables.
double fitSlope(const TuneSet& set, const PieceSquareTables& tables, SampleGroup group, int holdOutEvery);

// Fits source in place and reports how the error fell.
FitReport fitTables(const TuneSet& set, TableSource& source, const FitOptions& options);
