#pragma once
// The seam through which report objects evaluate their [expressions]. The layers that hold report
// objects sit below the expression parser, so they see only this interface; whoever runs a build,
// a preview or a test owns an implementation (the script layer's TkvParserEvaluator, or the
// engine's) and hands it to the report. Implementations are borrowed, never owned, by callers.

#include "base/format_settings.h"
#include "base/stream_text.h"
#include "base/variant.h"

#include <QByteArray>

// An expression that cannot be read or evaluated (syntax, nesting, stack, unknown operator).
// Conversion failures inside an evaluation stay TkvVariantError, of which this is a kind.
class TkvExpressionError : public TkvVariantError {
public:
    using TkvVariantError::TkvVariantError;
};

class TkvExpressionEvaluator {
public:
    virtual ~TkvExpressionEvaluator() = default;

    // The value of an expression text; raises TkvVariantError (or TkvExpressionError).
    virtual TkvVariant Evaluate(const QByteArray& expression) = 0;
    // The postfix form of an expression, for callers that evaluate it many times.
    virtual QByteArray ConvertToPostfix(const QByteArray& expression) = 0;
    virtual TkvVariant EvaluatePostfix(const QByteArray& postfix) = 0;
    // The value of an [expression] a text shows. Base: Evaluate.
    virtual TkvVariant EvaluateShown(const QByteArray& expression) { return Evaluate(expression); }

    // How values become text for this evaluation.
    virtual const TkvFormatSettings& FormatSettings() const { return TkvFormatSettings::System(); }
    // True while the engine only collects aggregate calls: expression texts then come out empty.
    virtual bool CollectingAggregates() const { return false; }
    // Runs an object's compiled script (its ScriptLines, compiled in place when the page was
    // prepared); `owner` names the object in errors. Raises what the script raises. Base: nothing,
    // for evaluators that have no interpreter.
    virtual void ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) {}
};
