#pragma once

#include <QString>

#include <optional>

namespace qm {

// Reads comma-separated fields the way the program's text files have always been read:
// fields end at a comma or at a line end; spaces before a field are skipped; a field that begins
// with a double quote runs to the next double quote (the quotes are not part of it, and anything
// after the closing quote up to the next comma or line end is ignored). Fields run on across
// lines, so a record is simply the next N fields.
class FieldReader {
public:
    explicit FieldReader(QString text);

    // True when nothing is left to read.
    bool atEnd() const { return m_pos >= m_text.size(); }

    // The next field, or nothing when the text is used up.
    std::optional<QString> next();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// The first field of the first line of text, by the rule above ("" for an empty text).
QString firstField(const QString& text);

// Parses a field as a 16-bit whole number: optional spaces and sign, then digits; anything after
// the digits is ignored and no digits give 0. Nothing when the number does not fit 16 bits.
std::optional<qint16> parseInt16(const QString& field);

// A field written so that the reader above gives it back unchanged where that is possible: a text
// holding a comma or a line end, or beginning with a space or a double quote, is put in double
// quotes. Line ends inside become spaces and double quotes inside become two single quotes
// (the format has no way to hold them inside a quoted field).
QString encodeField(const QString& text);

}  // namespace qm
