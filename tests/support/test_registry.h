// Lets every test file of a layer register its Qt Test class, so that one
// executable per layer runs them all.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace murlen::testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& Registry() {
    static std::vector<TestFactory> factories;
    return factories;
}

struct Registration {
    explicit Registration(TestFactory factory) { Registry().push_back(std::move(factory)); }
};

}  // namespace murlen::testing

// Put after the test class: MURLEN_TEST(TestPieces)
#define MURLEN_TEST(Class)                                                              \
    static const murlen::testing::Registration registration_##Class{                   \
        [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); }};
