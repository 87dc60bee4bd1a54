pelmar_bench(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
