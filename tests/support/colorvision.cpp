#include "colorvision.h"

#include <QtMath>

#include <cmath>

namespace TestSupport {

namespace {

using Matrix = double[3][3];

// Table 1 of Machado et al., severity 1.0: protanomaly, deuteranomaly and
// tritanomaly at their fullest, which equal the dichromacies.
const Matrix Protan = {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}};
const Matrix Deutan = {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}};
const Matrix Tritan = {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}};

const Matrix *matrixOf(Vision vision)
{
    switch (vision) {
    case Vision::Protan:
        return &Protan;
    case Vision::Deutan:
        return &Deutan;
    case Vision::Tritan:
        return &Tritan;
    case Vision::Normal:
        break;
    }
    return nullptr;
}

double linear(double encoded)
{
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double labCurve(double t)
{
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

double degrees(double radians)
{
    const double angle = qRadiansToDegrees(radians);
    return angle < 0 ? angle + 360.0 : angle;
}

} // namespace

QString visionName(Vision vision)
{
    switch (vision) {
    case Vision::Normal:
        return QStringLiteral("normal");
    case Vision::Protan:
        return QStringLiteral("protan");
    case Vision::Deutan:
        return QStringLiteral("deutan");
    case Vision::Tritan:
        return QStringLiteral("tritan");
    }
    return {};
}

double matrixRowSum(Vision vision, int row)
{
    const Matrix *matrix = matrixOf(vision);
    if (!matrix)
        return 1.0;
    return (*matrix)[row][0] + (*matrix)[row][1] + (*matrix)[row][2];
}

Lab labOf(double red, double green, double blue)
{
    // sRGB primaries to XYZ, relative to the D65 white.
    const double x = 0.4124564 * red + 0.3575761 * green + 0.1804375 * blue;
    const double y = 0.2126729 * red + 0.7151522 * green + 0.0721750 * blue;
    const double z = 0.0193339 * red + 0.1191920 * green + 0.9503041 * blue;
    const double fx = labCurve(x / 0.95047), fy = labCurve(y / 1.0), fz = labCurve(z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Lab seenAs(const QColor &color, Vision vision)
{
    const double rgb[3] = {linear(color.redF()), linear(color.greenF()), linear(color.blueF())};
    const Matrix *matrix = matrixOf(vision);
    if (!matrix)
        return labOf(rgb[0], rgb[1], rgb[2]);
    double seen[3];
    for (int row = 0; row < 3; ++row) {
        const double value = (*matrix)[row][0] * rgb[0] + (*matrix)[row][1] * rgb[1] + (*matrix)[row][2] * rgb[2];
        seen[row] = qBound(0.0, value, 1.0);
    }
    return labOf(seen[0], seen[1], seen[2]);
}

double deltaE2000(const Lab &first, const Lab &second)
{
    const double c1 = std::hypot(first.a, first.b), c2 = std::hypot(second.a, second.b);
    const double meanC7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(meanC7 / (meanC7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * first.a, a2 = (1.0 + g) * second.a;
    const double c1p = std::hypot(a1, first.b), c2p = std::hypot(a2, second.b);
    const double h1 = c1p == 0 ? 0.0 : degrees(std::atan2(first.b, a1));
    const double h2 = c2p == 0 ? 0.0 : degrees(std::atan2(second.b, a2));

    const double dL = second.l - first.l;
    const double dC = c2p - c1p;
    double dh = 0.0;
    if (c1p * c2p != 0) {
        dh = h2 - h1;
        if (dh > 180.0)
            dh -= 360.0;
        else if (dh < -180.0)
            dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(c1p * c2p) * std::sin(qDegreesToRadians(dh / 2.0));

    const double meanL = (first.l + second.l) / 2.0;
    const double meanC = (c1p + c2p) / 2.0;
    double meanH = h1 + h2;
    if (c1p * c2p != 0) {
        if (std::abs(h1 - h2) <= 180.0)
            meanH = (h1 + h2) / 2.0;
        else if (h1 + h2 < 360.0)
            meanH = (h1 + h2 + 360.0) / 2.0;
        else
            meanH = (h1 + h2 - 360.0) / 2.0;
    }
    const double t = 1.0 - 0.17 * std::cos(qDegreesToRadians(meanH - 30.0)) + 0.24 * std::cos(qDegreesToRadians(2.0 * meanH))
                     + 0.32 * std::cos(qDegreesToRadians(3.0 * meanH + 6.0))
                     - 0.20 * std::cos(qDegreesToRadians(4.0 * meanH - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((meanH - 275.0) / 25.0, 2.0));
    const double meanC7p = std::pow(meanC, 7.0);
    const double rC = 2.0 * std::sqrt(meanC7p / (meanC7p + std::pow(25.0, 7.0)));
    const double sL = 1.0 + 0.015 * std::pow(meanL - 50.0, 2.0) / std::sqrt(20.0 + std::pow(meanL - 50.0, 2.0));
    const double sC = 1.0 + 0.045 * meanC;
    const double sH = 1.0 + 0.015 * meanC * t;
    const double rT = -std::sin(qDegreesToRadians(2.0 * dTheta)) * rC;
    const double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

} // namespace TestSupport
