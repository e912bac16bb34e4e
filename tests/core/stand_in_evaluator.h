#pragma once
// Report objects evaluate [expressions] through the current report's evaluator; the parser sits
// above core, so core tests answer expressions with a function instead.
#include "base/expression_evaluator.h"
#include "core/globals.h"
#include "core/report/report.h"

#include <functional>

namespace kvtest {

class StandInEvaluator : public TkvExpressionEvaluator {
public:
    explicit StandInEvaluator(std::function<TkvVariant(const QByteArray&)> f) : fn(std::move(f)) {}
    TkvVariant Evaluate(const QByteArray& e) override { return fn(e); }
    QByteArray ConvertToPostfix(const QByteArray& e) override { return "postfix:" + e; }
    TkvVariant EvaluatePostfix(const QByteArray& p) override { return fn(p.mid(8)); }
    const TkvFormatSettings& FormatSettings() const override { return settings; }

    std::function<TkvVariant(const QByteArray&)> fn;
    TkvFormatSettings settings;
};

// For its scope, a report with a stand-in evaluator is the current report.
class ScopedEvaluator {
public:
    explicit ScopedEvaluator(std::function<TkvVariant(const QByteArray&)> f)
        : evaluator(std::move(f)), kept_(kv::CurReport()) {
        report.Evaluator = &evaluator;
        kv::CurReport() = &report;
    }
    ~ScopedEvaluator() { kv::CurReport() = kept_; }
    ScopedEvaluator(const ScopedEvaluator&) = delete;
    ScopedEvaluator& operator=(const ScopedEvaluator&) = delete;

    StandInEvaluator evaluator;
    TkvReport report;

private:
    TkvReport* kept_;
};

} // namespace kvtest
