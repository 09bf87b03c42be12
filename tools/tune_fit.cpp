#include "tune_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <memory>

#include "tables_builder.h"

namespace {

bool inGroup(const TuneSample& sample, SampleGroup group, int holdOutEvery) {
    if (group == SampleGroup::All || holdOutEvery < 2) return group != SampleGroup::HeldOut;
    const bool heldOut = sample.game % holdOutEvery == holdOutEvery - 1;
    return heldOut == (group == SampleGroup::HeldOut);
}

// One value of the source that the fit may move: an integer within limits.
// The scale is fitted in tenths.
struct Parameter {
    int* value;
    int low;
    int high;
    // A table value changes only the entries of its piece on its square
    // (kind 0: the value shapes every entry).
    int kind = 0;
    Square square = 0;
    // Values of the tables and the wing terms pay for straying from where
    // they started; the scale and the blend range do not.
    bool anchored = false;
    // A value whose scaled size must fit the table's signed byte.
    bool inByte = false;
    int start = 0;
    // A table square pays for straying from where it started plus the
    // level its whole table moved by, so that moving the level costs none
    // of the table's squares anything.
    const int* level = nullptr;
    // The level of a whole table: every square of the table (kind, stage)
    // moves with it.
    bool isLevel = false;
    int stage = 0;
};

// The largest scaled value a table entry can hold.
constexpr double byteLimit = 127.5;

// How far each table (by kind and stage, as the source holds them) moved as
// a whole, in source units.
using Levels = std::array<std::array<int, 2>, 7>;

// The values the fit moves, in the order it visits them: the scale and the
// blend first, since they shape every table, then each table's level, then
// its squares, the king-wing terms last.
class ParameterList {
public:
    ParameterList(TableSource& source, bool blendAndScale) : source_(source) {
        scaleTenths_ = static_cast<int>(std::lround(source.scale * 10));
        if (blendAndScale) {
            list_.push_back({&scaleTenths_, 1, 1270});
            list_.push_back({&source.endgameCount, 0, 31});
            list_.push_back({&source.openingCount, 1, 32});
        }
        // The level of a table is what a piece of that kind is worth more
        // or less wherever it stands: the piece values are fixed, and the
        // games may say that two minor pieces outweigh a rook and a pawn
        // by more than they do. It pays nothing, since every position with
        // the piece sees it. Both kings are always on the board, so theirs
        // would cancel out.
        for (int kind = PAWN; kind <= QUEEN; ++kind) {
            if (kind == KING) continue;
            for (int stage = 0; stage < 2; ++stage) {
                Parameter level{&levels_[kind][stage], -1000, 1000, kind};
                level.isLevel = true;
                level.stage = stage;
                list_.push_back(level);
            }
        }
        for (int kind = PAWN; kind <= QUEEN; ++kind) {
            for (int stage = 0; stage < 2; ++stage) {
                for (Square s = 0; s < 64; ++s) {
                    if (!onTable(kind, s)) continue;
                    Parameter value{&source.base[kind][stage][s], -1000, 1000, kind, s, true, true};
                    value.level = &levels_[kind][stage];
                    list_.push_back(value);
                }
            }
        }
        for (int rank = 1; rank < 7; ++rank) {
            list_.push_back({&source.shelter[rank], -1000, 1000, 0, 0, true, true});
            list_.push_back({&source.storm[rank], -1000, 1000, 0, 0, true, true});
        }
        for (int kind : {KNIGHT, BISHOP, ROOK, QUEEN})
            list_.push_back({&source.attack[kind], -1000, 1000, 0, 0, true, true});
        for (int rank = 0; rank < 8; ++rank) list_.push_back({&source.attackRanks[rank], -1000, 1000, 0, 0, true});
        for (Parameter& p : list_) p.start = *p.value;
    }

    // What parameter i pays at that value, in squared source units.
    double cost(std::size_t i, int value) const {
        const Parameter& p = list_[i];
        if (!p.anchored) return 0.0;
        const int away = value - p.start - (p.level ? *p.level : 0);
        return static_cast<double>(away) * away;
    }

    std::size_t size() const { return list_.size(); }

    // After the source was replaced as a whole, with the levels it had.
    void reload(const Levels& levels) {
        scaleTenths_ = static_cast<int>(std::lround(source_.scale * 10));
        levels_ = levels;
    }
    const Levels& levels() const { return levels_; }

    // Sets parameter i; false (and nothing changed) when the value lies
    // outside its limits or would leave the blend without a range.
    bool set(std::size_t i, int value) {
        const Parameter& p = list_[i];
        if (value < p.low || value > p.high) return false;
        if (p.isLevel) return moveLevel(p, value);
        if (p.inByte && std::abs(value) * source_.scale > byteLimit) return false;
        const int old = *p.value;
        *p.value = value;
        if (source_.endgameCount >= source_.openingCount || largestTableValue() * scaleTenths_ / 10.0 > byteLimit) {
            *p.value = old;
            return false;
        }
        source_.scale = scaleTenths_ / 10.0;
        return true;
    }
    int get(std::size_t i) const { return *list_[i].value; }
    const Parameter& operator[](std::size_t i) const { return list_[i]; }

private:
    // No pawn ever stands on the first or the last rank.
    static bool onTable(int kind, Square s) { return kind != PAWN || (rankOf(s) != 0 && rankOf(s) != 7); }

    // Moves every square of the level's table by the same amount; false
    // (and nothing changed) when a square would leave its limits or its byte.
    bool moveLevel(const Parameter& p, int value) {
        const int by = value - *p.value;
        auto& table = source_.base[p.kind][p.stage];
        for (Square s = 0; s < 64; ++s) {
            if (!onTable(p.kind, s)) continue;
            const int moved = table[s] + by;
            if (moved < -1000 || moved > 1000 || std::abs(moved) * source_.scale > byteLimit) return false;
        }
        for (Square s = 0; s < 64; ++s)
            if (onTable(p.kind, s)) table[s] += by;
        *p.value = value;
        return true;
    }

    int largestTableValue() const {
        int largest = 0;
        for (const auto& kind : source_.base)
            for (const auto& stage : kind)
                for (int value : stage) largest = std::max(largest, std::abs(value));
        return largest;
    }

    TableSource& source_;
    int scaleTenths_ = 0;
    Levels levels_{};
    std::vector<Parameter> list_;
};

class Fitter {
public:
    Fitter(const TuneSet& set, TableSource& source, const FitOptions& options)
        : set_(set), source_(source), options_(options), tables_(std::make_unique<PieceSquareTables>()) {}

    double error(SampleGroup group) {
        buildTables(source_, *tables_);
        return meanError(set_, *tables_, slope_, group, options_.holdOutEvery);
    }

    // The fitted samples' error after parameter p changed: only the entries
    // it feeds are built again.
    double errorAfterChange(const Parameter& p) {
        if (p.kind == 0 || p.isLevel) return error(SampleGroup::Fitted);
        // The tables are drawn as White sees them: Black's piece reads the
        // mirrored square.
        buildTableEntries(source_, p.kind, true, p.square, *tables_);
        buildTableEntries(source_, p.kind, false, makeSquare(fileOf(p.square), 7 - rankOf(p.square)), *tables_);
        return meanError(set_, *tables_, slope_, SampleGroup::Fitted, options_.holdOutEvery);
    }

    FitReport run() {
        FitReport report;
        buildTables(source_, *tables_);
        slope_ = fitSlope(set_, *tables_, SampleGroup::Fitted, options_.holdOutEvery);
        report.slope = slope_;
        report.errorBefore = error(SampleGroup::Fitted);
        report.heldOutBefore = error(SampleGroup::HeldOut);
        const bool holdingOut = options_.holdOutEvery >= 2;
        say() << "slope " << slope_ << ", error " << report.errorBefore;
        if (holdingOut) say() << ", held out " << report.heldOutBefore;
        say() << "\n";

        ParameterList parameters(source_, options_.fitBlendAndScale);
        // The objective: the error plus what the values pay for straying.
        double current = report.errorBefore;
        double penalty = 0;
        double heldOut = report.heldOutBefore;
        int step = std::max(1, options_.firstStep);
        for (int pass = 1; pass <= options_.maxPasses; ++pass) {
            const TableSource before = source_;
            const Levels levelsBefore = parameters.levels();
            int changes = 0;
            const double penaltyBefore = penalty;
            for (std::size_t i = 0; i < parameters.size(); ++i)
                changes += improve(parameters, i, step, current, penalty);
            const double nowHeldOut = holdingOut ? error(SampleGroup::HeldOut) : 0;
            say() << "pass " << pass << " (step " << step << "): error " << current - penalty;
            if (holdingOut) say() << ", held out " << nowHeldOut;
            say() << ", " << changes << " values changed\n";
            // A pass that made the held-out games worse learnt the noise of
            // the others: it is undone, and the search goes on more finely.
            if (holdingOut && nowHeldOut > heldOut) {
                source_ = before;
                parameters.reload(levelsBefore);
                penalty = penaltyBefore;
                current = error(SampleGroup::Fitted) + penalty;
                say() << "  held-out error rose: pass undone\n";
                changes = 0;
            } else {
                heldOut = nowHeldOut;
                report.changes += changes;
            }
            report.passErrors.push_back(current - penalty);
            if (changes == 0) {
                if (step == 1) break;
                step /= 2;
            }
        }
        report.errorAfter = error(SampleGroup::Fitted);
        report.heldOutAfter = error(SampleGroup::HeldOut);
        return report;
    }

private:
    std::ostream& say() { return options_.progress ? *options_.progress : discard_; }

    // Walks parameter i by step in the direction that lowers the error, as
    // far as it keeps falling; returns 1 when it moved.
    int improve(ParameterList& parameters, std::size_t i, int step, double& current, double& penalty) {
        const int start = parameters.get(i);
        const double others = penalty - options_.prior * parameters.cost(i, start);
        for (int direction : {step, -step}) {
            int value = start;
            while (parameters.set(i, value + direction)) {
                const double paid = others + options_.prior * parameters.cost(i, value + direction);
                const double e = errorAfterChange(parameters[i]) + paid;
                if (!(e < current)) break;
                current = e;
                penalty = paid;
                value += direction;
            }
            parameters.set(i, value);
            errorAfterChange(parameters[i]);
            if (value != start) return 1;
        }
        return 0;
    }

    const TuneSet& set_;
    TableSource& source_;
    const FitOptions& options_;
    std::unique_ptr<PieceSquareTables> tables_;
    double slope_ = 0;
    std::ostream discard_{nullptr};
};

}  // namespace

double expectedResult(double slope, double score) { return 1.0 / (1.0 + std::exp(-slope * score)); }

double meanError(const TuneSet& set, const PieceSquareTables& tables, double slope, SampleGroup group,
                 int holdOutEvery) {
    double sum = 0;
    std::size_t count = 0;
    for (const TuneSample& sample : set.samples) {
        if (!inGroup(sample, group, holdOutEvery)) continue;
        int score = sample.base;
        const uint32_t* entry = set.entries.data() + sample.first;
        for (int k = 0; k < sample.count; ++k) {
            const int value = tables.advanced[entry[k] >> 1];
            score += (entry[k] & 1) ? -value : value;
        }
        const double miss = sample.result - expectedResult(slope, score);
        sum += miss * miss;
        ++count;
    }
    return count ? sum / count : 0;
}

double fitSlope(const TuneSet& set, const PieceSquareTables& tables, SampleGroup group, int holdOutEvery) {
    // The error is smooth with one minimum in the slope: a golden-section
    // search on its logarithm, from a hundredth of a pawn's worth to ten
    // pawns' worth of certainty.
    double low = std::log(1e-5);
    double high = std::log(1e-1);
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    auto errorAt = [&](double logSlope) { return meanError(set, tables, std::exp(logSlope), group, holdOutEvery); };
    double a = high - ratio * (high - low);
    double b = low + ratio * (high - low);
    double ea = errorAt(a);
    double eb = errorAt(b);
    for (int i = 0; i < 60; ++i) {
        if (ea < eb) {
            high = b;
            b = a;
            eb = ea;
            a = high - ratio * (high - low);
            ea = errorAt(a);
        } else {
            low = a;
            a = b;
            ea = eb;
            b = low + ratio * (high - low);
            eb = errorAt(b);
        }
    }
    return std::exp((low + high) / 2);
}

FitReport fitTables(const TuneSet& set, TableSource& source, const FitOptions& options) {
    return Fitter(set, source, options).run();
}
