// Vec3: components rounded to float once, scalars kept wide, plane geometry
// that ignores z, and the overridable steps of distance and normalisation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "vector/vec3.h"

namespace {

void expectExactly(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

}  // namespace

TEST(Vec3, ConstructionAndSet) {
    expectExactly(Vec3(), 0.0f, 0.0f, 0.0f);
    expectExactly(Vec3(1.5f, -2.0f, 3.0f), 1.5f, -2.0f, 3.0f);
    Vec3 v;
    v.set(Vec3(4.0f, 5.0f, 6.0f));
    expectExactly(v, 4.0f, 5.0f, 6.0f);
}

TEST(Vec3, NewResultsLeaveBothOperandsUnchanged) {
    const Vec3 a(1.0f, 2.0f, 3.0f);
    const Vec3 b(10.0f, 20.0f, 30.0f);
    expectExactly(a.plus(b), 11.0f, 22.0f, 33.0f);
    expectExactly(a.minus(b), -9.0f, -18.0f, -27.0f);
    expectExactly(a.scaled(-2.0f), -2.0f, -4.0f, -6.0f);
    expectExactly(Vec3(3.0f, 4.0f, 10.0f).normalized(), 0.6f, 0.8f, 2.0f);
    expectExactly(a, 1.0f, 2.0f, 3.0f);
    expectExactly(b, 10.0f, 20.0f, 30.0f);
}

TEST(Vec3, InPlaceArithmetic) {
    Vec3 v(1.0f, 2.0f, 3.0f);
    v.addAssign(Vec3(1.0f, 1.0f, 1.0f));
    expectExactly(v, 2.0f, 3.0f, 4.0f);
    v.subAssign(Vec3(0.5f, 0.5f, 0.5f));
    expectExactly(v, 1.5f, 2.5f, 3.5f);
    v.mulAssign(2.0f);
    expectExactly(v, 3.0f, 5.0f, 7.0f);
    v.divAssign(4.0f);
    expectExactly(v, 0.75f, 1.25f, 1.75f);
}

TEST(Vec3, DivisionByZeroFollowsIeee) {
    Vec3 v(1.0f, -1.0f, 0.0f);
    v.divAssign(0.0f);
    EXPECT_EQ(v.x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(v.y, -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(v.z));
    Vec3 flat = Vec3(0.0f, 0.0f, 5.0f).normalized();
    EXPECT_TRUE(std::isnan(flat.x));
    EXPECT_EQ(flat.z, std::numeric_limits<float>::infinity());
}

TEST(Vec3, DotIsReturnedWithoutRoundingToFloat) {
    // 16777215² needs 48 bits; a float result would round it.
    const Vec3 v(16777215.0f, 0.0f, 0.0f);
    EXPECT_EQ(v.dot(v), 281474943156225.0L);
    EXPECT_EQ(Vec3(1.0f, 2.0f, 3.0f).dot(Vec3(4.0f, 5.0f, 6.0f)), 32.0L);
}

TEST(Vec3, LerpEndsCopyTheirOperands) {
    const Vec3 a(1.0f, 2.0f, 3.0f);
    const Vec3 b(-7.0f, 0.1f, 9.0f);
    Vec3 v;
    v.lerp(a, b, 0.0f);
    expectExactly(v, -7.0f, 0.1f, 9.0f);
    v.lerp(a, b, 1.0f);
    expectExactly(v, 1.0f, 2.0f, 3.0f);
    v.lerp(a, b, 0.5f);
    expectExactly(v, -3.0f, 1.05f, 6.0f);
    // The vector may be one of its own operands.
    Vec3 self(2.0f, 4.0f, 6.0f);
    self.lerp(self, Vec3(), 0.5f);
    expectExactly(self, 1.0f, 2.0f, 3.0f);
}

TEST(Vec3, AnglesInThePlane) {
    const Vec3 origin(1.0f, 1.0f, 5.0f);
    EXPECT_EQ(origin.angleTo(origin), 0.0L);
    EXPECT_NEAR(static_cast<double>(origin.angleTo(Vec3(1.0f, 3.0f, -9.0f))), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(static_cast<double>(origin.angleTo(Vec3(0.0f, 1.0f, 0.0f))), std::numbers::pi, 1e-12);
    EXPECT_NEAR(static_cast<double>(Vec3(0.0f, -2.0f, 0.0f).angle()), -std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(Vec3().angle(), 0.0L);
}

TEST(Vec3, SetPolarClearsZ) {
    Vec3 v(9.0f, 9.0f, 9.0f);
    v.setPolar(2.0f, static_cast<float>(std::numbers::pi / 2));
    EXPECT_NEAR(v.x, 0.0f, 1e-6f);
    EXPECT_EQ(v.y, 2.0f);
    EXPECT_EQ(v.z, 0.0f);
    v.setPolar(3.0f, 0.0f);
    expectExactly(v, 3.0f, 0.0f, 0.0f);
}

TEST(Vec3, LengthAndDistanceIgnoreZ) {
    EXPECT_EQ(Vec3(0.0f, 0.0f, 7.0f).length(), 0.0L);
    EXPECT_EQ(Vec3(3.0f, 4.0f, 100.0f).length(), 5.0L);
    EXPECT_EQ(Vec3(1.0f, 1.0f, 0.0f).distanceSquared(Vec3(4.0f, 5.0f, 50.0f)), 25.0L);
    EXPECT_EQ(Vec3(1.0f, 1.0f, 0.0f).distance(Vec3(4.0f, 5.0f, 50.0f)), 5.0L);
}

TEST(Vec3, DistanceSquaredRoundsEachDifferenceToFloat) {
    // 16777216 - 0.5 is not a float; it rounds to 16777216 before squaring.
    const Vec3 near(0.5f, 0.0f, 0.0f);
    const Vec3 far(16777216.0f, 0.0f, 0.0f);
    EXPECT_EQ(near.distanceSquared(far), 281474976710656.0L);
}

TEST(Vec3, NormalizedDividesByTheFloatPlaneLength) {
    // The plane length sqrt(17) rounded to float gives a different x than the
    // wide length would (0.242535621).
    Vec3 n = Vec3(1.0f, 4.0f, 0.0f).normalized();
    EXPECT_EQ(n.x, 0.242535636f);
}

namespace {

// A vector measured on a grid where every distance is 7 and every length 2.
class FixedMetricVec3 : public Vec3 {
public:
    using Vec3::Vec3;
    long double distanceSquared(const Vec3&) const override { return 49.0L; }
    long double length() const override { return 2.0L; }
};

}  // namespace

TEST(Vec3, DistanceAndNormalizedGoThroughTheOverridableSteps) {
    FixedMetricVec3 v(3.0f, 4.0f, 10.0f);
    const Vec3& asBase = v;
    EXPECT_EQ(asBase.distance(Vec3()), 7.0L);
    expectExactly(asBase.normalized(), 1.5f, 2.0f, 5.0f);
}
