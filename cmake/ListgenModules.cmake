# Every folder of src/ is one static library whose sources are globbed, so a
# new file needs no edit here. A folder without sources yields no target.

function(listgen_module name)
  cmake_parse_arguments(M "" "DIR" "QT;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.cpp
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.h
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/\\.")
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(NOT has_cpp)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(q IN LISTS M_QT)
    target_link_libraries(${name} PUBLIC Qt6::${q})
  endforeach()
  set(deps)
  foreach(d IN LISTS M_DEPS)
    if(TARGET ${d} OR d MATCHES "::")
      list(APPEND deps ${d})
    endif()
  endforeach()
  target_link_libraries(${name} PUBLIC ${deps})
  listgen_pch(${name} ${M_QT})
endfunction()

# Links the given targets into an umbrella when they exist.
function(listgen_link_existing umbrella)
  foreach(t IN LISTS ARGN)
    if(TARGET ${t})
      target_link_libraries(${umbrella} INTERFACE ${t})
    endif()
  endforeach()
endfunction()

# Precompiled Qt headers: the Core set for the headless core, the widget set
# for targets that link Qt Widgets.
function(listgen_pch target)
  set(headers <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant> <QtCore/QList>
              <QtCore/QHash> <QtCore/QDateTime> <QtCore/QObject> <memory> <vector> <string>)
  if("Widgets" IN_LIST ARGN)
    list(APPEND headers <QtWidgets/QWidget> <QtWidgets/QDialog> <QtGui/QPainter>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# One test executable per folder of tests/; every TEST becomes a CTest test.
function(listgen_tests name)
  cmake_parse_arguments(T "GUI" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${T_DIR}/*.cpp ${PROJECT_SOURCE_DIR}/${T_DIR}/*.h
       ${PROJECT_SOURCE_DIR}/${T_DIR}/*.qrc)
  if(NOT sources)
    return()
  endif()
  set(deps)
  foreach(d IN LISTS T_DEPS)
    if(TARGET ${d})
      list(APPEND deps ${d})
    endif()
  endforeach()
  add_executable(${name} ${sources})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE listgen_test_gui_main)
  else()
    target_link_libraries(${name} PRIVATE listgen_test_core_main)
  endif()
  target_link_libraries(${name} PRIVATE ${deps} GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    LISTGEN_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LISTGEN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(T_GUI)
    listgen_pch(${name} Widgets)
  else()
    listgen_pch(${name})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LISTGEN_TEST_TMP=${PROJECT_BINARY_DIR}/testtmp"
    DISCOVERY_TIMEOUT 60)
endfunction()
