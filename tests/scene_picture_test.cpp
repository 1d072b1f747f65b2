#include <gtest/gtest.h>
TEST(ScenePicture, Placeholder) {}
