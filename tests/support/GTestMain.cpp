#include <gtest/gtest.h>

#include <QCoreApplication>

// The data layer posts and processes Qt events; give the tests an application.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
