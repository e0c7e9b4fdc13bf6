#include "printcolor.h"

#include <QFile>

#include <lcms2.h>

namespace Calendar {

namespace {

// Far more than a calendar's colours; only dragging a spin box through its
// range could fill it, and then it starts again rather than grow.
constexpr int CacheLimit = 4096;

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

} // namespace

struct PrintColors::Transform
{
    cmsHTRANSFORM handle = nullptr;
    ~Transform() { cmsDeleteTransform(handle); }
};

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
    cmsHPROFILE cmyk = cmsOpenProfileFromMem(data.constData(), cmsUInt32Number(data.size()));
    if (!cmyk)
        return false;
    if (cmsGetColorSpace(cmyk) == cmsSigCmykData) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        // Ghostscript renders a PDF's DeviceCMYK relative colorimetric (the
        // PDF's default intent) with black point compensation, so 100 % black
        // is #231F20 and a rich black #000000 instead of a washed-out grey.
        // It samples the transform on lcms's fine grid, and so do we: the
        // default grid is up to 18 levels off near the edge of the gamut. That
        // costs some 80 ms once; the colours are cached after that anyway.
        cmsHTRANSFORM handle = cmsCreateTransform(
                cmyk, TYPE_CMYK_16, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_HIGHRESPRECALC);
        cmsCloseProfile(srgb);
        if (handle) {
            m_transform = std::make_unique<Transform>();
            m_transform->handle = handle;
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

    const quint16 ink[4] = {channel(color.cyan), channel(color.magenta), channel(color.yellow),
                            channel(color.black)};
    const quint64 key = quint64(ink[0]) << 48 | quint64(ink[1]) << 32 | quint64(ink[2]) << 16
            | quint64(ink[3]);
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return QColor(*cached);

    quint8 rgb[3];
    cmsDoTransform(m_transform->handle, ink, rgb, 1);
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
