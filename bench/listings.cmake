pelmar_bench(bench_listings ${CMAKE_CURRENT_LIST_DIR}/listings_bench.cpp)
