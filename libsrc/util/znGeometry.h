// znGeometry.h -- the three-component values typed configuration variables
// can hold: positions and Tait-Bryan orientation angles.

#ifndef UTIL_ZNGEOMETRY_H
#define UTIL_ZNGEOMETRY_H

template <typename T>
class ZnVectorT {
public:
    ZnVectorT() = default;
    ZnVectorT(T x, T y, T z) : v_{x, y, z} {}
    T x() const { return v_[0]; }
    T y() const { return v_[1]; }
    T z() const { return v_[2]; }
    void setX(T v) { v_[0] = v; }
    void setY(T v) { v_[1] = v; }
    void setZ(T v) { v_[2] = v; }
    T& operator[](int i) { return v_[i]; }
    const T& operator[](int i) const { return v_[i]; }
    bool operator==(const ZnVectorT& o) const {
        return v_[0] == o.v_[0] && v_[1] == o.v_[1] && v_[2] == o.v_[2];
    }
    bool operator!=(const ZnVectorT& o) const { return !(*this == o); }

private:
    T v_[3] = {0, 0, 0};
};

using ZnVector = ZnVectorT<double>;
using ZnVector64 = ZnVectorT<double>;

class ZnTaitBryan {
public:
    ZnTaitBryan() = default;
    ZnTaitBryan(double heading, double pitch, double roll) : h_(heading), p_(pitch), r_(roll) {}
    double heading() const { return h_; }
    double pitch() const { return p_; }
    double roll() const { return r_; }
    void setHeading(double v) { h_ = v; }
    void setPitch(double v) { p_ = v; }
    void setRoll(double v) { r_ = v; }
    bool operator==(const ZnTaitBryan& o) const { return h_ == o.h_ && p_ == o.p_ && r_ == o.r_; }
    bool operator!=(const ZnTaitBryan& o) const { return !(*this == o); }

private:
    double h_ = 0, p_ = 0, r_ = 0;
};

#endif
