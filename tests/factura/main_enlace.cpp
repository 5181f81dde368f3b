#include <QCoreApplication>

#include <gtest/gtest.h>

// The link runs on an event loop; the invoice's yield is what lets it turn during the document.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
