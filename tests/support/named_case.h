// Cases of table-driven tests carry a Name; this prints it instead of the case's bytes when
// GoogleTest lists a parameterised test. Bring it in with `using testing::PrintTo;`.
#pragma once

#include <ostream>

namespace sorvane::testing {

template <typename Case>
requires requires(const Case& c) { *static_cast<std::ostream*>(nullptr) << c.Name; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.Name; }

}  // namespace sorvane::testing
