# selectpanel_bench: rows added one by one to the selection panel's list, beside a bare list view.
add_executable(selectpanel_bench ${CMAKE_CURRENT_LIST_DIR}/SelectPanel_bench.cpp)
target_link_libraries(selectpanel_bench PRIVATE nuv_controls Qt6::Widgets benchmark::benchmark)
list(APPEND NUV_BENCH_TARGETS selectpanel_bench)
