# Warning flags for every target of the project; errors when VANTOREL_WERROR is on (CI).
function(vantorel_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Wconversion -Wsuggest-override
    $<$<BOOL:${VANTOREL_WERROR}>:-Werror>)
endfunction()
