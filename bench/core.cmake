# Instructions per second of the 6809 core.
add_executable(bench_core ${CMAKE_CURRENT_LIST_DIR}/Cpu_bench.cpp)
target_link_libraries(bench_core PRIVATE quillon_core benchmark::benchmark)
quillon_target_defaults(bench_core)
