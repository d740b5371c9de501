#!/usr/bin/env python3
# Writes every assets/res1/*.svg. Needs only the Python standard library.
import os
import runpy
here = os.path.dirname(os.path.abspath(__file__))
for part in ('menu', 'panels', 'help'):
    runpy.run_path(os.path.join(here, part + '.py'), run_name='__main__')
