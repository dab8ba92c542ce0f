#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

#include "model/error.h"

namespace skedora::test {

/** An error of that number whose description says every part; for EXPECT_TRUE. */
inline ::testing::AssertionResult IsError(const MaybeError& error, int number,
                                          std::initializer_list<std::string_view> parts = {}) {
    bool says = error && error->number == number;
    for (const std::string_view part : parts) {
        says = says && error->description.find(part) != std::string::npos;
    }
    return (says ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << (error ? std::to_string(error->number) + ": " + error->description : "no error");
}

}  // namespace skedora::test
