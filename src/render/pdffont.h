#ifndef LUNORIS_PDFFONT_H
#define LUNORIS_PDFFONT_H

#include "fonts/fontresolver.h"
#include "model/pagemodel.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

namespace PoDoFo {
class PdfEncoding;
class PdfFont;
class PdfFontMetrics;
class PdfMemDocument;
class PdfObject;
} // namespace PoDoFo

namespace Calendar {

// A simple font (one byte a character) takes WinAnsi and this many letters
// besides, in the codes WinAnsi leaves free.
constexpr int SimpleFontExtraLetters = 33;

// The characters of `characters` that WinAnsi lacks, each once.
QString beyondWinAnsi(const QString &characters);

// Whether a simple font holds every one of `characters`: none outside the
// plane of 16-bit characters, no more than SimpleFontExtraLetters outside
// WinAnsi. Any other text needs a composite font, which only a TrueType face
// can be.
bool fitsSimpleFont(const QString &characters);

// The run's font as the PDF library puts it into a file. The face is opened
// and measured once; the font's objects (the subset of its glyphs, their
// widths and character map, the encoding) are built once for every
// character its pages print, and then copied into each of their documents:
// the twelve months and the print sheet carry the same bytes, made once (and
// the wallet card's two files those of a font of their own).
class PdfRunFont
{
public:
    // Never throws: a face the library cannot read leaves it closed.
    explicit PdfRunFont(const PdfFontSource &source);
    ~PdfRunFont();
    PdfRunFont(const PdfRunFont &) = delete;
    PdfRunFont &operator=(const PdfRunFont &) = delete;

    bool isOpen() const { return m_metrics != nullptr; }
    const PdfFontSource &source() const { return m_source; }

    // The face's measures and the advances of `characters`.
    TextFont measure(const QString &characters);

    // Builds the font's objects for exactly `characters`: a simple font where
    // it holds them, else a composite one (TrueType only). Never throws: on
    // failure gives the library's own words in `problem`.
    bool prepare(const QString &characters, QString *problem);
    // Whether the font prepared is composite: two bytes a character.
    bool isComposite() const { return m_composite; }

    // The font in one document. Its objects that come before the pages are
    // made on construction; finish() adds those that follow them, where the
    // library always put them.
    class Copy
    {
    public:
        ~Copy();
        Copy(const Copy &) = delete;
        Copy &operator=(const Copy &) = delete;

        PoDoFo::PdfFont *font() const { return m_font; }
        void finish();

    private:
        friend class PdfRunFont;
        Copy(const PdfRunFont &runFont, PoDoFo::PdfMemDocument &document);

        const PdfRunFont &m_runFont;
        PoDoFo::PdfMemDocument &m_document;
        PoDoFo::PdfFont *m_font = nullptr;
        QHash<quint32, quint32> m_numbers; // the template's object numbers to the document's
    };
    // Throws PoDoFo::PdfError.
    std::unique_ptr<Copy> copyInto(PoDoFo::PdfMemDocument &document) const;

private:
    void build(const QString &characters);
    void buildComposite(const QString &characters);
    void keepStreams();
    void embedSubset(PoDoFo::PdfFont &font, const PoDoFo::PdfEncoding &encoding, const QString &characters);
    void copyObject(const PoDoFo::PdfObject &from, PoDoFo::PdfObject &to, const QHash<quint32, quint32> &numbers,
                    bool deferLater) const;

    PdfFontSource m_source;
    QByteArray m_fontBytes; // what the library reads the face from
    class Template;
    std::unique_ptr<Template> m_template;
    PoDoFo::PdfFontMetrics *m_metrics = nullptr; // owned by the template font once it is made
    std::unique_ptr<PoDoFo::PdfEncoding> m_drawingEncoding;
    const PoDoFo::PdfEncoding *m_encoding = nullptr;
    quint32 m_fontNumber = 0;
    bool m_composite = false;
    QVector<quint32> m_before; // the font's objects made with it
    QVector<quint32> m_after;  // those made when its glyphs are embedded
    QHash<quint32, QByteArray> m_rawStreams;
};

} // namespace Calendar

#endif // LUNORIS_PDFFONT_H
