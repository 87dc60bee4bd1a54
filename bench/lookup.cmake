pelmar_bench(bench_lookup ${CMAKE_CURRENT_LIST_DIR}/lookup_bench.cpp)
