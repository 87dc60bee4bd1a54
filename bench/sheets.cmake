# The .xlsx and CSV writers on 1,000,000 rows of Data, against sqlite3's CSV dump
# and the .xls export of the same rows.
pelmar_bench(bench_sheets ${CMAKE_CURRENT_LIST_DIR}/sheets_bench.cpp
             ${CMAKE_CURRENT_LIST_DIR}/exportrows.cpp)
target_link_libraries(bench_sheets PRIVATE pelmar_sheets)
