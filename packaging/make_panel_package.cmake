# Builds the panel package: cmake -DOUTPUT=... -DPROGRAM=... -DCATALOGUES=a.qm|b.qm
#   [-DSTRIP=strip] -P make_panel_package.cmake
# The upgrade monitor extracts it with tar and requires "h2" at the top level; members are
# plain files owned by root, whoever builds it.
if(NOT OUTPUT OR NOT PROGRAM)
    message(FATAL_ERROR "make_panel_package: OUTPUT and PROGRAM are required")
endif()
string(REPLACE "|" ";" catalogues "${CATALOGUES}")

set(staging "${OUTPUT}.staging")
file(REMOVE_RECURSE "${staging}")
file(MAKE_DIRECTORY "${staging}")
configure_file("${PROGRAM}" "${staging}/h2" COPYONLY)
file(CHMOD "${staging}/h2" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(STRIP)
    execute_process(COMMAND "${STRIP}" --strip-debug "${staging}/h2" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "make_panel_package: ${STRIP} failed on h2")
    endif()
endif()
set(members h2)
foreach(catalogue IN LISTS catalogues)
    get_filename_component(name "${catalogue}" NAME)
    configure_file("${catalogue}" "${staging}/${name}" COPYONLY)
    list(APPEND members "${name}")
endforeach()

execute_process(
    COMMAND tar --create --gzip --file "${OUTPUT}.part" --format=gnu --sort=name
            --owner=0 --group=0 --numeric-owner --mode=go-w
            -C "${staging}" ${members}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "make_panel_package: tar failed (${rc})")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
file(REMOVE_RECURSE "${staging}")
