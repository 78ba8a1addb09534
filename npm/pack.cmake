# Lays out the package in STAGE and packs it into TARBALL with `npm pack`:
# FILES from SOURCE, the bundled INDEX as index.cjs, the two builds of the
# core, and the package.json given the version VERSION, without what only
# the source folder's tests need.
file(REMOVE_RECURSE ${STAGE})
foreach(name IN LISTS FILES)
  get_filename_component(folder ${STAGE}/${name} DIRECTORY)
  file(COPY ${SOURCE}/${name} DESTINATION ${folder})
endforeach()
file(COPY_FILE ${INDEX} ${STAGE}/index.cjs)
file(MAKE_DIRECTORY ${STAGE}/lib)
file(COPY_FILE ${ENGINE} ${STAGE}/lib/engine.cjs)
file(COPY_FILE ${TOOL} ${STAGE}/lib/tool.cjs)
file(COPY_FILE ${SOURCE}/package.json ${STAGE}/package.json)

foreach(change IN ITEMS "set;version=${VERSION}" "delete;private;devDependencies")
  execute_process(COMMAND npm pkg ${change} WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
get_filename_component(destination ${TARBALL} DIRECTORY)
execute_process(COMMAND npm pack --pack-destination ${destination} --silent
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
