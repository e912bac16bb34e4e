#pragma once
// Breaks one line of code page text into output lines that fit a width: word wrap at spaces, hard
// cuts inside words that are too long, line breaks at CR/LF, and (with word break) hyphenation of
// Russian words. Widths come from a canvas whose font and char spacing the caller has set.
//
// Measuring never grows a prefix one character at a time: the fitting end of each output line is
// found by doubling the probed length and then bisecting, so every line costs O(k log k) measured
// characters for k characters in it. This assumes that a longer text is never narrower, which holds
// while char spacing does not make advances negative; otherwise the cut is still a text that fits.

#include "base/stream_text.h"

#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class TkvCanvas;

class TkvTextWrapper {
public:
    // `measuring` must keep its font and char spacing while the wrapper is in use; `width` is the
    // available width in the canvas's pixels (a width below 1 fits no character).
    TkvTextWrapper(TkvCanvas& measuring, int charset, int width, bool wordBreak);

    // Appends the output lines of `line` to `out`. The last line of each paragraph ends with the
    // paragraph mark; lines cut at a hyphenation point end with "-". Every character of `line` except
    // line breaks and the spaces a line was broken at ends up in exactly one output line.
    void WrapLine(const QByteArray& line, TkvStringList& out);

    // Width of a code page text with the canvas's current font.
    int TextWidth(const QByteArray& text);

    // Positions (counted from 1) after which a Russian word may be hyphenated, in increasing order.
    // Letters outside the Cyrillic alphabet count as consonants; a word of fewer than 4 letters has none.
    static std::vector<int> Hyphenate(const QString& word);

    // Text decoded character by character, so that each character's bytes (1, or 2 for a lead
    // byte) and its UTF-16 code units are known.
    struct Decoded {
        QString text;
        std::vector<int> bytes; // byte offset of character i; one more entry for the end
        std::vector<int> units; // UTF-16 offset of character i; one more entry for the end
        int Count() const { return int(bytes.size()) - 1; }
    };
    Decoded Decode(const QByteArray& text);

private:
    void WrapPiece(const QByteArray& piece, TkvStringList& out);
    int Measure(const Decoded& d, int from, int to);
    bool Fits(const Decoded& d, int from, int to) { return Measure(d, from, to) <= width_; }
    // The largest end e (from <= e <= count) such that characters [from, e) fit.
    int FitEnd(const Decoded& d, int from);
    const QString& DecodeByte(uint8_t byte);

    TkvCanvas& canvas_;
    int charset_;
    int width_;
    bool wordBreak_;
    bool hyphenation_; // the character set's code page is the Cyrillic one the rules are written for
    std::array<std::optional<QString>, 256> byteCache_;
    std::array<std::optional<bool>, 256> leadCache_;
    QHash<uint16_t, QString> pairCache_;
};
