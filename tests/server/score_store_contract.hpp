// What every world-table database must do, as a value-parameterised suite: the
// cases (TEST_P on ScoreStoreContract) live in score_store_contract_test.cpp; a
// database joins them with one line in its own test file:
//
//   INSTANTIATE_TEST_SUITE_P(Sqlite, ScoreStoreContract,
//                            ::testing::Values(TScoreStoreFactory{MakeEmptySqliteStore}));
//
// The factory gives an EMPTY store each time it is called. It may GTEST_SKIP()
// (for example when no database server can be started); the case is then skipped.
#pragma once

#include "server/score_store.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace vantorel::server {

/// Makes an empty store. It prints as "store", so the cases' names
/// stay the same from one build to the next.
struct TScoreStoreFactory {
    std::function<std::unique_ptr<IScoreStore>()> Make;

    friend void PrintTo(const TScoreStoreFactory&, std::ostream* os) { *os << "store"; }
};

class ScoreStoreContract : public ::testing::TestWithParam<TScoreStoreFactory> {
protected:
    void SetUp() override {
        Store = GetParam().Make();
        if (IsSkipped())
            return;
        ASSERT_NE(Store, nullptr);
    }

    std::unique_ptr<IScoreStore> Store;
};

} // namespace vantorel::server
