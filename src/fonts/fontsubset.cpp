#include "fontsubset.h"

#include <QVector>

#include <hb-subset.h>

#include <memory>

namespace Calendar {

namespace {

template<typename T, void (*Destroy)(T *)>
struct Deleter
{
    void operator()(T *object) const { Destroy(object); }
};
using Blob = std::unique_ptr<hb_blob_t, Deleter<hb_blob_t, hb_blob_destroy>>;
using Face = std::unique_ptr<hb_face_t, Deleter<hb_face_t, hb_face_destroy>>;
using Input = std::unique_ptr<hb_subset_input_t, Deleter<hb_subset_input_t, hb_subset_input_destroy>>;

// Tables for shaping, vertical text and colour that a PDF viewer never reads
// from an embedded TrueType font.
const char *const UnreadTables[] = {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern", "DSIG",
                                    "vhea", "vmtx", "VORG", "COLR", "CPAL", "SVG ", "sbix", "CBDT",
                                    "CBLC", "EBDT", "EBLC", "EBSC", "LTSH", "PCLT", "hdmx", "VDMX"};

} // namespace

QByteArray subsetTrueType(const QByteArray &font, const QString &characters, bool hinting)
{
    // The blob only borrows the bytes: they outlive everything made here.
    const Blob blob(hb_blob_create(font.constData(), unsigned(font.size()), HB_MEMORY_MODE_READONLY, nullptr,
                                   nullptr));
    const Face face(hb_face_create(blob.get(), 0));
    const Input input(hb_subset_input_create_or_fail());
    if (!input || hb_face_get_glyph_count(face.get()) == 0)
        return {};
    hb_set_t *unicodes = hb_subset_input_unicode_set(input.get());
    for (const uint codePoint : characters.toUcs4())
        hb_set_add(unicodes, codePoint);
    hb_set_t *dropped = hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char *tag : UnreadTables)
        hb_set_add(dropped, HB_TAG(tag[0], tag[1], tag[2], tag[3]));
    unsigned flags = HB_SUBSET_FLAGS_RETAIN_GIDS;
    if (!hinting)
        flags |= HB_SUBSET_FLAGS_NO_HINTING;
    hb_subset_input_set_flags(input.get(), flags);

    const Face subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        return {};
    const Blob program(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char *data = hb_blob_get_data(program.get(), &length);
    return QByteArray(data, int(length));
}

} // namespace Calendar
