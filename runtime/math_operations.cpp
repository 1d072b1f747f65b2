// Floating-point helpers the program imports but never calls.
#include "runtime/exports.h"

#include <cmath>

namespace zelk::runtime {

double _CIcos(double x) { return std::cos(x); }
double _CIsin(double x) { return std::sin(x); }
double _CItan(double x) { return std::tan(x); }
double _CIatan(double x) { return std::atan(x); }
double _CIexp(double x) { return std::exp(x); }
double _CIlog(double x) { return std::log(x); }
double _CIsqrt(double x) { return std::sqrt(x); }

double _adj_fdiv_m16i(double dividend, std::int16_t divisor) { return dividend / divisor; }
double _adj_fdiv_m32(double dividend, float divisor) { return dividend / divisor; }
double _adj_fdiv_m32i(double dividend, std::int32_t divisor) { return dividend / divisor; }
double _adj_fdiv_m64(double dividend, double divisor) { return dividend / divisor; }
double _adj_fdiv_r(double dividend, double divisor) { return dividend / divisor; }
double _adj_fdivr_m16i(double divisor, std::int16_t dividend) { return dividend / divisor; }
double _adj_fdivr_m32(double divisor, float dividend) { return dividend / divisor; }
double _adj_fdivr_m32i(double divisor, std::int32_t dividend) { return dividend / divisor; }
double _adj_fdivr_m64(double divisor, double dividend) { return dividend / divisor; }
double _adj_fprem(double x, double y) { return std::fmod(x, y); }
double _adj_fprem1(double x, double y) { return std::remainder(x, y); }
double _adj_fpatan(double y, double x) { return std::atan2(y, x); }
double _adj_fptan(double x) { return std::tan(x); }

std::int64_t _allmul(std::int64_t a, std::int64_t b) {
    return std::int64_t(std::uint64_t(a) * std::uint64_t(b));  // wraps like the 64-bit product it stands for
}

// Stacks grow on demand here; there is nothing to probe.
void __vbaChkstk(std::uint32_t) {}

}  // namespace zelk::runtime
