#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The symbologies of the label designer; the numbers are the ones stored in label files.
enum class BarcodeType : int {
    Interleaved2of5 = 0,
    Industrial2of5 = 1,
    Matrix2of5 = 2,
    Code39 = 3,
    Code39Extended = 4,
    Code128A = 5,
    Code128B = 6,
    Code128C = 7,
    Code93 = 8,
    Code93Extended = 9,
    Msi = 10,
    PostNet = 11,
    Codabar = 12,
    Ean8 = 13,
    Ean13 = 14,
    UpcA = 15,
    UpcE0 = 16,
    UpcE1 = 17,
    UpcSupp2 = 18,
    UpcSupp5 = 19,
    Ean128A = 20,
    Ean128B = 21,
    Ean128C = 22,
};
inline constexpr int kBarcodeTypeCount = 23;

// The name the label designer shows for a type ("EAN13"); the number itself for unknown ones.
QString BarcodeTypeName(int type);

// An encoded symbol, independent of any device: alternating bars and spaces, the first a bar.
struct BarcodePattern {
    // Width of each element in modules (1 to 4), or, for the two-width symbologies, 1 for
    // narrow and 2 for wide, so that the renderer can apply its wide-to-narrow ratio.
    std::vector<std::uint8_t> elements;
    bool twoWidths = false;
    // POSTNET only: one entry per bar, true for a half-height bar.
    std::vector<bool> halfBars;
    // The human-readable line below the bars.
    QString text;
};

// Why a value cannot be encoded: the msgid and what fills its placeholders, translated only
// when shown so that the encoders stay free of the language setting.
struct BarcodeError {
    const char *msgid = nullptr;
    QStringList args;
    QString text() const;
    bool operator==(const BarcodeError &) const = default;
};

// Exactly one of pattern and error is meaningful: error.msgid is null on success. An empty
// value encodes to an empty pattern without error: an article without a code gets no bars.
struct BarcodeResult {
    BarcodePattern pattern;
    BarcodeError error;
    bool ok() const { return error.msgid == nullptr; }
};
