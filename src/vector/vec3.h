// Vec3: the three-float vector of the menu widgets, with plane geometry in x/y.
// Arithmetic runs in long double and each component is rounded to float when
// stored; the scalar results (dot, angles, lengths) come back unrounded as
// long double. Operations that make a new vector return it by value; a vector
// that several owners share (a widget's position) is held in a
// std::shared_ptr<Vec3>.
#pragma once

class Vec3 {
public:
    Vec3() = default;
    Vec3(float x, float y, float z) : x(x), y(y), z(z) {}
    Vec3(const Vec3&) = default;
    Vec3& operator=(const Vec3&) = default;
    virtual ~Vec3() = default;

    virtual void set(const Vec3& v);
    virtual long double dot(const Vec3& v) const;
    virtual Vec3 scaled(float s) const;
    virtual Vec3 plus(const Vec3& v) const;
    virtual Vec3 minus(const Vec3& v) const;
    virtual void addAssign(const Vec3& v);
    virtual void subAssign(const Vec3& v);
    virtual void mulAssign(float s);
    // Division by zero is not checked: it gives infinities or NaNs.
    virtual void divAssign(float s);
    // This = (1 - t)·b + t·a, so t = 0 gives b and t = 1 gives a.
    virtual void lerp(const Vec3& a, const Vec3& b, float t);
    // Radians, -pi..pi, from this point towards v in the x/y plane.
    virtual long double angleTo(const Vec3& v) const;
    virtual long double angle() const;
    // x/y from a length and an angle in radians; z becomes 0.
    virtual void setPolar(float length, float angle);
    // Plane distance; each difference is rounded to float before squaring.
    virtual long double distanceSquared(const Vec3& v) const;
    virtual long double distance(const Vec3& v) const;
    // Plane length; z does not count.
    virtual long double length() const;
    // Every component divided by the plane length (z included), so (3, 4, 10)
    // becomes (0.6, 0.8, 2). A vector with x = y = 0 gives infinities or NaNs.
    virtual Vec3 normalized() const;

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
