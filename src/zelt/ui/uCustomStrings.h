#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// One named text of a text store. Besides the whole text it offers a table view for texts that hold
// lists: lines (split at CR LF, CR or LF) and, within a line, cells enclosed in single quotes.
class TmlText : public QObject {
    Q_OBJECT
public:
    explicit TmlText(QObject* owner = nullptr, const QString& name = QString());

    const QString& Text() const { return FText; }
    // One trailing CR LF pair is dropped, when the text is longer than one character.
    void SetText(const QString& text);

    // An index past the last line gives the empty text.
    QString GetLinie(int index) const;
    // The text becomes all lines, each followed by CR LF. An index past the last line raises
    // EZeltError and changes nothing.
    void SetLinie(int index, const QString& value);
    // Lines of the text once leading and trailing blanks and line breaks are removed.
    int GetRowCount() const;
    // Single quotes before the first line break, halved.
    int GetColCount() const;
    // The content of the (column + 1)-th complete pair of quotes of the line; empty when the line
    // has fewer cells.
    QString GetCelula(int line, int column) const;
    // Replaces the content between the cell's quotes and writes the line back as SetLinie does.
    // A missing cell, or a value holding a quote (which would break the line's cells), raises
    // EZeltError and changes nothing.
    void SetCelula(int line, int column, const QString& value);

    static QStringList SplitLines(const QString& text);

private:
    QString FText;
};

// A text store: a data module whose components are named texts.
class TmlStore : public QObject {
    Q_OBJECT
public:
    // Reads the store's definition: lines "name=text" (UTF-8); the text runs to the end of the line,
    // blanks included, with \r, \n and \\ for CR, LF and a backslash. Lines starting with ";" and
    // empty lines are skipped. Raises EZeltError when the definition is missing or malformed.
    TmlStore(const QString& storeName, const QString& definitionPath);

    // Null when the store has no text of that name.
    TmlText* Find(const QString& name) const;
    // Raises EZeltError when the store has no text of that name.
    TmlText* Text(const QString& name) const;
    int TextCount() const { return int(FTexts.size()); }

private:
    QList<TmlText*> FTexts;
};
