#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace quillet::testing {

// Every Qt Test class of the executable, run in turn by test_main.cpp under one QApplication.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
inline std::vector<TestFactory>& UiTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

}  // namespace quillet::testing

#define QUILLET_UI_TEST(Class)                                                                        \
    static const bool kRegistered##Class = (quillet::testing::UiTests().push_back([] {               \
                                                return std::unique_ptr<QObject>(std::make_unique<Class>()); \
                                            }),                                                       \
                                            true)
