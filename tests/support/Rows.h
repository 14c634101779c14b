// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtTest>

// A data table as an array of structs whose first member is the row's name: the _data()
// function adds one row per entry, the test function takes its entry.
template <class Row, size_t N>
void addRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].name) << int(i);
}

template <class Row, size_t N>
const Row& fetchRow(const Row (&rows)[N]) {
    return rows[*static_cast<int*>(QTest::qData("row", QMetaType::Int))];
}
