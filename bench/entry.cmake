pelmar_bench(bench_entry ${CMAKE_CURRENT_LIST_DIR}/entry_bench.cpp)
