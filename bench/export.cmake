# The export against sqlite3's CSV dump and python3-xlwt on 65,535 rows of Data.
pelmar_bench(bench_export ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp
             ${CMAKE_CURRENT_LIST_DIR}/exportrows.cpp)
target_compile_definitions(bench_export PRIVATE
    PELMAR_XLWT_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/export_xlwt.py")
