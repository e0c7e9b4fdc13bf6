#include "printcolor.h"

#include <QFile>
#include <QSet>

#include <lcms2.h>
#include <lcms2_plugin.h>

#include <cstdlib>

namespace Calendar {

namespace {

// Far more than a calendar's colours; only dragging a spin box through its
// range could fill it, and then it starts again rather than grow.
constexpr int CacheLimit = 4096;

// The nodes per ink of the grid on which Ghostscript samples its CMYK
// transform (lcms's finest for four inks): 23^4 of them.
constexpr int GridNodes = 23;
constexpr int GridDomain = GridNodes - 1;
constexpr int Inks = 4;
constexpr int Channels = 3;

// A component bounded to 0..1, as the PDF writer bounds it; NaN is no ink.
double unit(double value)
{
    return value > 0.0 ? qMin(value, 1.0) : 0.0;
}

// As 16 bits, which is how lcms takes CMYK, and finer than the PDF writes it.
quint16 channel(double value)
{
    return quint16(unit(value) * 65535.0 + 0.5);
}

// The ink of grid node `node` as lcms samples it.
quint16 nodeInk(int node)
{
    return quint16(node * 65535.0 / GridDomain + 0.5);
}

// The grid cell an ink falls in, as lcms's interpolation finds it in fixed
// point: its lower node, and the upper one (the same at full ink).
QPair<int, int> cellOf(quint16 ink)
{
    const qint64 scaled = qint64(ink) * GridDomain;
    const int lower = int((scaled + (scaled + 0x7fff) / 0xffff) >> 16);
    return {lower, ink == 0xffff ? lower : lower + 1};
}

// 16 bits to 8, rounded as lcms packs them.
quint8 eightBits(quint16 value)
{
    return quint8((quint32(value) * 65281u + 8388608u) >> 24);
}

// Zeroed memory from calloc, which gets it from the system already zeroed:
// the grid's table costs no memory where no colour falls, instead of 1.7 MB
// written with zeros (some 4 ms of page faults on a virtual machine).
void *allocate(cmsContext, cmsUInt32Number size)
{
    return std::malloc(size);
}

void *allocateZeroed(cmsContext, cmsUInt32Number size)
{
    return std::calloc(1, size);
}

void release(cmsContext, void *memory)
{
    std::free(memory);
}

void *reallocate(cmsContext, void *memory, cmsUInt32Number size)
{
    return std::realloc(memory, size);
}

cmsPluginMemHandler lazyMemory = {
    {cmsPluginMagicNumber, 2000, cmsPluginMemHandlerSig, nullptr}, allocate, release, reallocate, allocateZeroed,
    nullptr, nullptr};

} // namespace

// Ghostscript renders a PDF's DeviceCMYK through lcms with a transform that
// lcms samples on its finest grid and interpolates; the preview shows those
// colours to the bit. Sampling the whole grid costs some 100 ms of CPU, on
// the window's way to its first frame, for the handful of colours a page
// has: here each node is converted exactly when a colour first falls beside
// it (16 nodes, a few microseconds), and lcms's own interpolation reads them.
struct PrintColors::Transform
{
    cmsContext context = nullptr;
    cmsHTRANSFORM exact = nullptr; // CMYK to sRGB in 16 bits, evaluated without tables of its own
    cmsStage *grid = nullptr;      // GridNodes^4 nodes of three channels, filled as colours need them
    QSet<quint32> sampled;

    ~Transform()
    {
        if (grid)
            cmsStageFree(grid);
        if (exact)
            cmsDeleteTransform(exact);
        if (context)
            cmsDeleteContext(context);
    }

    void convert(const quint16 ink[Inks], quint8 rgb[Channels]);
};

void PrintColors::Transform::convert(const quint16 ink[Inks], quint8 rgb[Channels])
{
    auto *table = static_cast<_cmsStageCLutData *>(cmsStageData(grid));
    QPair<int, int> cell[Inks];
    for (int i = 0; i < Inks; ++i)
        cell[i] = cellOf(ink[i]);
    for (int corner = 0; corner < 1 << Inks; ++corner) {
        int node[Inks];
        quint32 index = 0;
        for (int i = 0; i < Inks; ++i) {
            node[i] = corner & (1 << i) ? cell[i].second : cell[i].first;
            index = index * GridNodes + quint32(node[i]);
        }
        if (sampled.contains(index))
            continue;
        sampled.insert(index);
        const quint16 nodeInks[Inks] = {nodeInk(node[0]), nodeInk(node[1]), nodeInk(node[2]), nodeInk(node[3])};
        cmsDoTransform(exact, nodeInks, table->Tab.T + index * Channels, 1);
    }
    quint16 screen[Channels];
    table->Params->Interpolation.Lerp16(ink, screen, table->Params);
    for (int i = 0; i < Channels; ++i)
        rgb[i] = eightBits(screen[i]);
}

PrintColors::PrintColors()
{
    for (const QString &path : knownProfilePaths()) {
        if (load(path))
            return;
    }
}

PrintColors::PrintColors(const QString &profilePath)
{
    load(profilePath);
}

bool PrintColors::load(const QString &profilePath)
{
    // Read through QFile so that a path with any letters works and an
    // unreadable file is just "no profile".
    QFile file(profilePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    auto transform = std::make_unique<Transform>();
    transform->context = cmsCreateContext(&lazyMemory, nullptr);
    if (!transform->context)
        return false;
    cmsHPROFILE cmyk = cmsOpenProfileFromMemTHR(transform->context, data.constData(), cmsUInt32Number(data.size()));
    if (!cmyk)
        return false;
    if (cmsGetColorSpace(cmyk) == cmsSigCmykData) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfileTHR(transform->context);
        // Ghostscript renders a PDF's DeviceCMYK relative colorimetric (the
        // PDF's default intent) with black point compensation, so 100 % black
        // is #231F20 and a rich black #000000 instead of a washed-out grey.
        transform->exact = cmsCreateTransformTHR(
                transform->context, cmyk, TYPE_CMYK_16, srgb, TYPE_RGB_16, INTENT_RELATIVE_COLORIMETRIC,
                cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
        cmsCloseProfile(srgb);
        if (transform->exact)
            transform->grid = cmsStageAllocCLut16bit(transform->context, GridNodes, Inks, Channels, nullptr);
        if (transform->grid) {
            m_transform = std::move(transform);
            m_profilePath = profilePath;
        }
    }
    cmsCloseProfile(cmyk);
    return isCalibrated();
}

PrintColors::~PrintColors() = default;

const PrintColors &PrintColors::instance()
{
    static const PrintColors colors;
    return colors;
}

QStringList PrintColors::knownProfilePaths()
{
    return {
        // Debian's libgs-common.
        QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc"),
        // Ghostscript built from source with its default prefix.
        QStringLiteral("/usr/local/share/color/icc/ghostscript/default_cmyk.icc"),
        QStringLiteral("/usr/local/share/ghostscript/iccprofiles/default_cmyk.icc"),
    };
}

QColor PrintColors::toScreen(const Cmyk &color) const
{
    if (!m_transform)
        return QColor::fromCmykF(unit(color.cyan), unit(color.magenta), unit(color.yellow),
                                 unit(color.black));

    const quint16 ink[Inks] = {channel(color.cyan), channel(color.magenta), channel(color.yellow),
                               channel(color.black)};
    const quint64 key = quint64(ink[0]) << 48 | quint64(ink[1]) << 32 | quint64(ink[2]) << 16
            | quint64(ink[3]);
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return QColor(*cached);

    quint8 rgb[Channels];
    m_transform->convert(ink, rgb);
    if (m_cache.size() >= CacheLimit)
        m_cache.clear();
    const QRgb screen = qRgb(rgb[0], rgb[1], rgb[2]);
    m_cache.insert(key, screen);
    return QColor(screen);
}

QString PrintColors::profilePath() const
{
    return m_profilePath;
}

bool PrintColors::isCalibrated() const
{
    return bool(m_transform);
}

} // namespace Calendar
