// Vec3's operations. Every intermediate is long double; a component is
// rounded once, when it is stored.
#include "vector/vec3.h"

#include <cmath>

namespace {

using Wide = long double;

float store(Wide value) { return static_cast<float>(value); }

}  // namespace

void Vec3::set(const Vec3& v) {
    x = v.x;
    y = v.y;
    z = v.z;
}

long double Vec3::dot(const Vec3& v) const {
    return static_cast<Wide>(x) * v.x + static_cast<Wide>(y) * v.y + static_cast<Wide>(z) * v.z;
}

Vec3 Vec3::scaled(float s) const {
    return Vec3(store(static_cast<Wide>(x) * s), store(static_cast<Wide>(y) * s), store(static_cast<Wide>(z) * s));
}

Vec3 Vec3::plus(const Vec3& v) const {
    return Vec3(store(static_cast<Wide>(x) + v.x), store(static_cast<Wide>(y) + v.y),
                store(static_cast<Wide>(z) + v.z));
}

Vec3 Vec3::minus(const Vec3& v) const {
    return Vec3(store(static_cast<Wide>(x) - v.x), store(static_cast<Wide>(y) - v.y),
                store(static_cast<Wide>(z) - v.z));
}

void Vec3::addAssign(const Vec3& v) {
    x = store(static_cast<Wide>(x) + v.x);
    y = store(static_cast<Wide>(y) + v.y);
    z = store(static_cast<Wide>(z) + v.z);
}

void Vec3::subAssign(const Vec3& v) {
    x = store(static_cast<Wide>(x) - v.x);
    y = store(static_cast<Wide>(y) - v.y);
    z = store(static_cast<Wide>(z) - v.z);
}

void Vec3::mulAssign(float s) {
    x = store(static_cast<Wide>(x) * s);
    y = store(static_cast<Wide>(y) * s);
    z = store(static_cast<Wide>(z) * s);
}

void Vec3::divAssign(float s) {
    x = store(static_cast<Wide>(x) / s);
    y = store(static_cast<Wide>(y) / s);
    z = store(static_cast<Wide>(z) / s);
}

void Vec3::lerp(const Vec3& a, const Vec3& b, float t) {
    const Wide keep = 1.0L - t;
    // a may alias this, so read everything before writing.
    const float nx = store(keep * b.x + static_cast<Wide>(t) * a.x);
    const float ny = store(keep * b.y + static_cast<Wide>(t) * a.y);
    const float nz = store(keep * b.z + static_cast<Wide>(t) * a.z);
    x = nx;
    y = ny;
    z = nz;
}

long double Vec3::angleTo(const Vec3& v) const {
    return std::atan2(static_cast<Wide>(v.y) - y, static_cast<Wide>(v.x) - x);
}

long double Vec3::angle() const { return std::atan2(static_cast<Wide>(y), static_cast<Wide>(x)); }

void Vec3::setPolar(float length, float angle) {
    x = store(length * std::cos(static_cast<Wide>(angle)));
    y = store(length * std::sin(static_cast<Wide>(angle)));
    z = 0.0f;
}

long double Vec3::distanceSquared(const Vec3& v) const {
    const Wide dx = store(static_cast<Wide>(v.x) - x);
    const Wide dy = store(static_cast<Wide>(v.y) - y);
    return dx * dx + dy * dy;
}

long double Vec3::distance(const Vec3& v) const { return std::sqrt(distanceSquared(v)); }

long double Vec3::length() const {
    return std::sqrt(static_cast<Wide>(x) * x + static_cast<Wide>(y) * y);
}

Vec3 Vec3::normalized() const {
    const Wide planeLength = store(length());
    return Vec3(store(x / planeLength), store(y / planeLength), store(z / planeLength));
}
