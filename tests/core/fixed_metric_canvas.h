#pragma once
// A recording canvas with fixed text metrics, so that layout expectations are exact: every
// character advances kCharWidth pixels plus the char spacing (directional format characters
// advance nothing), and the text cell is the em height plus kLeading.

#include "render/recording_canvas.h"

#include <variant>
#include <vector>

class FixedMetricCanvas : public TkvRecordingCanvas {
public:
    static constexpr int kCharWidth = 7;
    static constexpr int kLeading = 3;

    using TkvRecordingCanvas::TkvRecordingCanvas;

    QSize TextExtent(const QString& text) override {
        ++measuredCalls;
        measuredChars += text.size();
        int64_t w = 0;
        for (QChar c : text)
            if (c != QChar(0x202B) && c != QChar(0x202C)) w += kCharWidth + CharSpacing();
        return QSize(int(w), EmHeight() + kLeading);
    }
    TkvTextMetrics TextMetrics() override {
        TkvTextMetrics m;
        m.height = EmHeight() + kLeading;
        m.ascent = EmHeight();
        m.descent = kLeading;
        m.internalLeading = kLeading;
        m.averageCharWidth = kCharWidth;
        return m;
    }

    int EmHeight() const { return Font().height < 0 ? -Font().height : Font().pointSize * DpiY() / 72; }

    // The text records, in order.
    std::vector<kvrec::Text> Texts() const {
        std::vector<kvrec::Text> out;
        for (const TkvRecord& r : Records())
            if (const auto* t = std::get_if<kvrec::Text>(&r)) out.push_back(*t);
        return out;
    }
    std::vector<kvrec::Line> Lines() const {
        std::vector<kvrec::Line> out;
        for (const TkvRecord& r : Records())
            if (const auto* l = std::get_if<kvrec::Line>(&r)) out.push_back(*l);
        return out;
    }

    int64_t measuredCalls = 0;
    int64_t measuredChars = 0;
};
