# Sources of results/: the results table, its texts, sort and ranking (logic); the table view (widgets).
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/results_table.h
    ${CMAKE_CURRENT_LIST_DIR}/results_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/update_group.h
    ${CMAKE_CURRENT_LIST_DIR}/run_time_text.h
    ${CMAKE_CURRENT_LIST_DIR}/run_time_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/points_text.h
    ${CMAKE_CURRENT_LIST_DIR}/points_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sort_order.h
    ${CMAKE_CURRENT_LIST_DIR}/sort_order.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ranking.h
    ${CMAKE_CURRENT_LIST_DIR}/ranking.cpp
    ${CMAKE_CURRENT_LIST_DIR}/enter_result.h
    ${CMAKE_CURRENT_LIST_DIR}/enter_result.cpp
    ${CMAKE_CURRENT_LIST_DIR}/result_editing.h
    ${CMAKE_CURRENT_LIST_DIR}/result_editing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.h
    ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.cpp
)

# The results grid and its item model (widgets).
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/results_model.h
    ${CMAKE_CURRENT_LIST_DIR}/results_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SortGrid.h
    ${CMAKE_CURRENT_LIST_DIR}/SortGrid.cpp
)
