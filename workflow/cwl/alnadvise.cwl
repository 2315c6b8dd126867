#!/usr/bin/env cwl-runner
# alnadvise as a CWL CommandLineTool: one data set in, the advice folder
# (best.fasta, report.json, report.tsv, report.html, alignments/) out.
#
#   cwltool --no-container --preserve-environment GETCHAR_TOOLS_DIR \
#     workflow/cwl/alnadvise.cwl --sequences family.fasta --effort fast
#
# alnadvise must be on the PATH (cwltool passes PATH on); it finds its
# aligners beside itself, in $GETCHAR_TOOLS_DIR, or in the tools input.
cwlVersion: v1.2
class: CommandLineTool
label: alnadvise
doc: |
  Aligns a protein, DNA or RNA FASTA data set with candidate configurations
  of several aligners, scores them (by Q against a reference, or without one
  by the learnt estimator's predicted Q or their agreement) and keeps the
  best, MAFFT --auto among the candidates. The output folder holds the best
  alignment (best.fasta, and the other asked formats), report.json,
  report.tsv, report.html and every candidate's alignment.

baseCommand: [alnadvise, --quiet]
arguments:
  - prefix: --out
    valueFrom: $(runtime.outdir)/advice

hints:
  ResourceRequirement:
    coresMin: 1
    ramMin: 1000

inputs:
  sequences:
    type: File
    doc: The data set's sequences (FASTA).
    inputBinding: {position: 1}
  reference:
    type: File?
    doc: Reference alignment (aligned FASTA, MSF, Clustal or Stockholm); the score is then Q.
    inputBinding: {prefix: --ref}
  effort:
    type:
      - "null"
      - type: enum
        symbols: [fast, default, thorough]
    doc: The default time budget, about 1.25, 2 or 5 times MAFFT --auto's expected time.
    inputBinding: {prefix: --effort}
  budget:
    type: float?
    doc: Wall seconds the runs may take on the jobs' cores (0 - no limit); overrides effort.
    inputBinding: {prefix: --budget}
  jobs:
    type: int?
    doc: Runs at once (default - the number of cores).
    inputBinding: {prefix: --jobs}
  aligners:
    type: string[]?
    doc: Aligners to consider (e.g. mafft, muscle, kalign, clustalw, dialigntx, clustalo).
    inputBinding: {prefix: --aligners, itemSeparator: ","}
  timeout:
    type: float?
    doc: Seconds per run; a run past it is killed.
    inputBinding: {prefix: --timeout}
  estimator:
    type:
      - "null"
      - type: enum
        symbols: [learned, agreement]
    doc: Without a reference, rank by the learnt model's predicted Q or by agreement.
    inputBinding: {prefix: --estimator}
  alphabet:
    type:
      - "null"
      - type: enum
        symbols: [auto, protein, dna, rna]
    inputBinding: {prefix: --alphabet}
  merge:
    type: boolean?
    doc: Also merge the three best alignments with t_coffee (up to 80 sequences).
    inputBinding: {prefix: --merge}
  no_html:
    type: boolean?
    doc: Do not write the report page report.html.
    inputBinding: {prefix: --no-html}
  alignment_formats:
    type: string[]?
    doc: |
      The best alignment's formats besides FASTA - clustal (best.aln), stockholm (best.sto),
      phylip (best.phy), msf (best.msf); alnadvise refuses others.
    inputBinding: {prefix: --output-format, itemSeparator: ","}
  summary_format:
    type:
      type: enum
      symbols: [table, tsv, json]
    default: tsv
    doc: Format of the summary alnadvise prints (the summary output).
    inputBinding: {prefix: --format}
  tools:
    type: Directory?
    doc: Folder holding the aligners' bin/ and lib/ (default - $GETCHAR_TOOLS_DIR or beside alnadvise).
    inputBinding: {prefix: --tools}

stdout: summary.txt

outputs:
  advice:
    type: Directory
    doc: The whole output folder.
    outputBinding: {glob: advice}
  best_alignment:
    type: File
    doc: The best alignment (aligned FASTA).
    outputBinding: {glob: advice/best.fasta}
  best_alignment_formats:
    type: File[]
    doc: The best alignment in the other asked formats.
    outputBinding: {glob: [advice/best.aln, advice/best.sto, advice/best.phy, advice/best.msf]}
  report_json:
    type: File
    doc: Every candidate's configuration, scores and times, and the choice.
    outputBinding: {glob: advice/report.json}
  report_tsv:
    type: File
    outputBinding: {glob: advice/report.tsv}
  report_html:
    type: File?
    outputBinding: {glob: advice/report.html}
  summary:
    type: stdout
