#ifndef LUNORIS_TESTS_COLORVISION_H
#define LUNORIS_TESTS_COLORVISION_H

#include <QColor>
#include <QString>

// How far apart two screen colours look, to people with normal colour vision
// and to those without one kind of cone: an independent yardstick for the
// looks, kept out of the application.
namespace TestSupport {

enum class Vision { Normal, Protan, Deutan, Tritan };
QString visionName(Vision vision);

// CIE L*a*b* under D65, from an sRGB colour.
struct Lab
{
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// The colour as `vision` sees it: Machado, Oliveira and Fernandes (2009),
// severity 1.0, applied to linear sRGB and clipped to the gamut.
Lab seenAs(const QColor &color, Vision vision);
Lab labOf(double linearRed, double linearGreen, double linearBlue);

// CIEDE2000 (Sharma, Wu and Dalal 2005), with kL = kC = kH = 1.
double deltaE2000(const Lab &first, const Lab &second);

// The row sums of the simulation's matrix: each is 1 where white stays white.
double matrixRowSum(Vision vision, int row);

} // namespace TestSupport

#endif // LUNORIS_TESTS_COLORVISION_H
