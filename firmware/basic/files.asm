* files.asm: programs and memory on the cassette tape.
*
* Statements:
*   SAVE "name"[,A]            the program, tokenized (or as listed text)
*   LOAD ["name"][,R]          a program (the next one without a name), RUN
*                              it with R; an earlier program is replaced
*   MERGE ["name"]             a program saved with ,A, its lines added
*   BSAVE "name",start,length[,entry]
*   BLOAD ["name"][,offset][,R]  memory back (offset added), R calls entry
*   VERIFY ["name"]            a tokenized program compared with the one in
*                              memory: Ok, or Verify error
* Every file header seen while searching is shown as "Found: name".
*
* A name is up to 8 characters, optionally after the device "CAS:".
*
* The tape is written with the monitor's block routines (tblock, tsync,
* tbody: leader of FF, blocks 01 3C type length data checksum). The header
* block (type 00) holds 15 bytes: name (8, space padded), start, length,
* entry (high byte first) and the kind of file:
*   0  memory (BSAVE, and the monitor's SAVE, whose header has 14 bytes)
*   1  tokenized program: the bytes from the program start up to the end
*      link; start = where it was, entry = the keyword table's signature
*      (LOAD refuses a program tokenized with other token numbers)
*   2  program as text: lines as LIST shows them, each ended by CR
*   3  data file (OPEN, datafile.asm): the bytes PRINT # and WRITE # wrote
* then data blocks (type 01, up to 255 bytes) and the end block (type FF).
*
* Entry points: xsave xload xmerge xbsave xbload xverify (statements);
* fout (outch's path while SAVE ,A lists the program); ffind (a header);
* fhead (leader and header); fendb (end block).
* Work bytes (monitor RAM 7DAE-7DC7): below. TBUF (7E00) holds the block
* being read or written.

TKIND   EQU $7DAE           ; header: kind of file (after TEXEC)
FOUT    EQU $7DB8           ; 1: outch writes to the tape block, 2: a data file
FBLEN   EQU $7DB9           ; bytes in the block being written
FWANT   EQU $7DBA           ; 1: a name was given
FRUN    EQU $7DBB           ; 1: ,R
FMERGE  EQU $7DBC           ; 1: MERGE (the program is kept)
FBPOS   EQU $7DBD           ; next byte of TBUF to take
FBCNT   EQU $7DBE           ; bytes in TBUF
FLPOS   EQU $7DBF           ; characters of the line in LINBUF
FPTR    EQU $7DC0           ; where the next data goes (2)
FEND    EQU $7DC2           ; end of the data (2)
FOFF    EQU $7DC4           ; BLOAD offset (2)
FVER    EQU $7DC6           ; 1: fdata compares (VERIFY); ffind clears it

K_MEM   EQU 0
K_TOK   EQU 1
K_ASC   EQU 2
K_DAT   EQU 3

* ---------------------------------------------------------------- names
* fname: an optional file name (a string expression): DDEV, DNAME (dname
* in disk.asm); on the tape the 8-character name also goes to U. FWANT = 1
* when there was one; without one the device is the default one.
fname   CLR FWANT
        JSR peek
        JSR isend
        BEQ .none
        CMPA #','
        BEQ .none
        PSHS U
        JSR getstr          ; X = characters, B = length
        JSR dname
        PULS U
        LBEQ fnmerr          ; a device alone
        INC FWANT
        TST DDEV
        BPL .r
        LDX #DNAME
        LDB #8
.c      LDA ,X+
        STA ,U+
        DECB
        BNE .c
.r      RTS
.none   JSR ddflt
        STA DDEV
        RTS

* fcomma: C = 1 and Y past the comma when a ',' follows.
fcomma  JSR peek
        CMPA #','
        BNE .no
        LEAY 1,Y
        ORCC #$01
        RTS
.no     ANDCC #$FE
        RTS

* frflag: an optional R (Y past it when there) -> FRUN.
frflag  JSR peek
        CMPA #'R'
        BNE .r
        LEAY 1,Y
        INC FRUN
.r      RTS

* ---------------------------------------------------------------- writing
* fhead: leader and the header block from TNAME..TKIND (on the disk: the
* file opened in FCB0 and its header written).
fhead   TST DDEV
        LBPL dhead
        JSR flushc
        LDB #32
        LDA #$FF
.ld     JSR tput
        DECB
        BNE .ld
        CLRA
        LDB #15
        LDX #TNAME
        JMP tblock

* fmem: the D bytes from X in data blocks, then the end block.
fmem    TST DDEV
        LBPL dmem
        STD FEND
.blk    LDD FEND
        BEQ fendb
        CMPD #255
        BLS .n
        LDD #255
.n      PSHS B
        LDA #$01
        JSR tblock
        ABX
        LDD FEND
        SUBB ,S+
        SBCA #0
        STD FEND
        BRA .blk
fendb   TST DDEV
        LBPL dend
        LDA #$FF
        CLRB
        JMP tblock

* fout: outch while the listing goes to the tape (FOUT = 1): A into TBUF,
* a full block is written; FOUT = 2: to a data file (datafile.asm). All
* kept.
fout    PSHS A,B,X
        LDB FOUT
        CMPB #2
        BNE .lst
        PULS A,B,X
        JMP fpch            ; PRINT # and WRITE #: to a data file
.lst    TST DDEV
        BMI .tape
        LDX #FCB0
        JSR dputc
        PULS A,B,X,PC
.tape   LDX #TBUF
        LDB FBLEN
        STA B,X
        INCB
        STB FBLEN
        CMPB #255
        BLO .r
        LDA #$01
        JSR tblock
        CLR FBLEN
.r      PULS A,B,X,PC

* kwsig: a signature of the keyword tables -> D (any change of the token
* numbers changes it).
kwsig   PSHS X
        LDX #kwtab
        LDD #0
.l      LSLB
        ROLA
        ADCB #0
        ADDB ,X
        ADCA #0
        TST ,X+
        BNE .l
        CMPX #xkwend        ; xkwtab follows kwtab
        BLO .l
        PULS X,PC

* SAVE "name"[,A]
xsave   LDU #TNAME
        JSR fname
        TST FWANT
        BEQ fnmerr
        LDB #K_TOK
        JSR fcomma
        BCC .k
        JSR peek
        CMPA #'A'
        LBNE snerr
        LEAY 1,Y
        LDB #K_ASC
.k      STB TKIND
        LDD <TXTTAB
        STD TSTART
        LDD <VARTAB
        SUBD <TXTTAB
        STD TLEN
        JSR kwsig
        STD TEXEC
        LDA TKIND
        CMPA #K_ASC
        BEQ .asc
        JSR fhead
        LDX TSTART
        LDD TLEN
        JMP fmem
.asc    LDD #0
        STD TLEN
        STD TEXEC
        JSR fhead
        CLR FBLEN
        INC FOUT
        LDX <TXTTAB
.line   LDD ,X
        BEQ .end
        JSR listln
        LDX ,X
        BRA .line
.end    CLR FOUT
        LDB FBLEN
        BEQ .e
        LDA #$01
        LDX #TBUF
        JSR tblock
.e      JMP fendb
fnmerr  LDB #64
        JMP error

* BSAVE "name",start,length[,entry]
xbsave  LDU #TNAME
        JSR fname
        TST FWANT
        LBEQ fnmerr
        JSR needcm
        JSR getadr
        STD TSTART
        STD TEXEC
        JSR needcm
        JSR getadr
        STD TLEN
        LBEQ fcerr
        ADDD TSTART
        BCC .e
        LBNE fcerr          ; past FFFF (ending exactly there is fine)
.e      JSR fcomma
        BCC .go
        JSR getadr
        STD TEXEC
.go     LDA #K_MEM
        STA TKIND
        JSR fhead
        LDX TSTART
        LDD TLEN
        JMP fmem

* ---------------------------------------------------------------- reading
* ffind: the next header of kind A (K_TOK also takes K_ASC) with the name
* at NAMEARG when FWANT; every header seen is shown. File not found at
* the end of the tape; Bad file mode when the named file is of another
* kind.
ffind   PSHS A
        CLR FVER
        TST DDEV
        LBPL dffind
.next   JSR tsync
        BCS .nf
        JSR tget
        TSTA
        BNE .next
        CLR TBUF+14         ; the monitor's headers have no kind: memory
        LDX #TBUF
        JSR tbody
        BCS .next
        CMPB #14
        BLO .next
        LDX #TBUF
        LDU #TNAME
        LDB #15
.cp     LDA ,X+
        STA ,U+
        DECB
        BNE .cp
        LDX #fndmsg2
        JSR outstr
        LDX #TNAME
        LDB #8
.pn     LDA ,X+
        JSR visible
        JSR outch
        DECB
        BNE .pn
        JSR bcrlf
        JSR flushc
        TST FWANT
        BEQ .kind
        LDX #TNAME
        LDU #NAMEARG
        LDB #8
.cmp    LDA ,X+
        CMPA ,U+
        BNE .next
        DECB
        BNE .cmp
.kind   LDA TKIND
        CMPA #K_ASC
        BNE .mem
        LDA #K_TOK          ; both program kinds
.mem    CMPA ,S
        BEQ .r
        TST FWANT
        BEQ .next
        LDB #54             ; the named file is not of this kind
        JMP error
.r      PULS A,PC
.nf     LDB #53
        JMP error

* frdblk: the next block into TBUF: A = 1 and B = its length, or A = FF at
* the end of the file. A broken tape is a Device I/O error.
frdblk  TST DDEV
        LBPL drdblk
        JSR tsync
        BCS .bad
        JSR tget
        CMPA #$FF
        BEQ .end
        CMPA #$01
        BNE .bad
        LDX #TBUF
        JSR tbody
        BCS .bad
        LDA #$01
        RTS
.end    LDX #TBUF
        JSR tbody
        BCS .bad
        LDA #$FF
        RTS
.bad    LDB #57
        JMP error

* fdata: data blocks to FPTR, at most up to FEND; C = 1 when the blocks do
* not fill FPTR..FEND exactly or the tape is broken (nothing is reported).
fdata   TST DDEV
        LBPL ddata
        JSR tsync
        BCS .bad
        JSR tget
        CMPA #$FF
        BEQ .end
        CMPA #$01
        BNE .bad
        LDX #TBUF
        JSR tbody
        BCS .bad
        CLRA
        ADDD FPTR
        BCS .bad
        CMPD FEND
        BHI .bad
        LDU FPTR
        STD FPTR
        LDX #TBUF
.cp     CMPU FPTR
        BEQ fdata
        LDA ,X+
        BSR fvput
        BEQ .cp
        BRA .bad
.end    LDD FPTR
        CMPD FEND
        BNE .bad
        ANDCC #$FE
        RTS
.bad    ORCC #$01
        RTS

* fvput: A to U+, or with FVER compared with it: Z = 0 when they differ.
fvput    TST FVER
        BNE .c
        STA ,U+
        ORCC #$04
        RTS
.c      CMPA ,U+
        RTS

* VERIFY ["name"]: the tokenized program on the tape (or a disk) byte for
* byte the one in memory, else Verify error. Nothing in memory changes.
xverify LDU #NAMEARG
        JSR fname
        LDA #K_TOK
        JSR ffind
        LDA TKIND
        CMPA #K_TOK
        BEQ .tok
        LDB #54             ; text: Bad file mode
        JMP error
.tok    JSR kwsig
        CMPD TEXEC
        BNE .bad
        LDD <VARTAB
        SUBD <TXTTAB
        CMPD TLEN
        BNE .bad
        ADDD <TXTTAB
        STD FEND
        LDD <TXTTAB
        STD FPTR
        INC FVER
        JSR fdata
        BCC .r
.bad    LDB #56
        JMP error
.r      RTS

* RUN "name": LOAD "name",R
xrunf   CLRA
        STA FMERGE
        INCA
        STA FRUN
        LDU #NAMEARG
        JSR fname
        BRA fload.find

* LOAD ["name"][,R] and MERGE ["name"]
xmerge  LDA #1
        BRA fload
xload   CLRA
fload   STA FMERGE
        CLR FRUN
        LDU #NAMEARG
        JSR fname
        JSR fcomma
        BCC .find
        TST FMERGE
        LBNE snerr
        JSR peek
        CMPA #'R'
        LBNE snerr
        INC FRUN
        LEAY 1,Y
.find   JSR peek
        JSR isend
        LBNE snerr
        LDA #K_TOK
        JSR ffind
        LDA TKIND
        CMPA #K_ASC
        LBEQ ftext
        TST FMERGE          ; MERGE takes text only
        BEQ .tok
        LDB #54
        JMP error
.tok    JSR kwsig
        CMPD TEXEC
        BEQ .sig
        LDB #54             ; tokenized with other token numbers
        JMP error
.sig    LDD TLEN            ; at least the end link, and room for it
        CMPD #2
        BLO .bad
        ADDD <TXTTAB
        BCS .om
        STD FEND
        ADDD #256
        BCS .om
        CMPD <MEMSIZ
        BHI .om
        LDD <TXTTAB
        STD FPTR
        JSR fdata
        BCS .bad
        LDX FEND            ; whatever came, the program ends here
        CLR -2,X
        CLR -1,X
        CLR ,X
        JSR relink
        JSR clrvar
        BRA fdone
.om     JMP omerr
.bad    JSR scrnew          ; a program loaded in part is no program
        LDB #57
        JMP error

* fdone: after LOAD or MERGE: RUN with R, else Ok.
fdone   TST FRUN
        LBEQ readyr
        JSR clrvar
        LDY <TXTTAB
        LEAY -1,Y
        LDD #0
        STD <CURLIN
        STD <OLDTXT
        JMP newstt

* ftext: a program saved as text: each line is entered as if typed (a
* line without a number is a Direct statement in file). LOAD starts from
* no program, MERGE keeps the lines there. edit resets the stack, so this
* is one flat loop keeping its state in the work bytes.
ftext   TST FMERGE
        BNE .go
        JSR scrnew
.go     CLR FLPOS
.blk    JSR frdblk
        CMPA #$FF
        BEQ .last
        STB FBCNT
        CLR FBPOS
.byte   LDB FBPOS
        CMPB FBCNT
        BHS .blk
        LDX #TBUF
        LDA B,X
        INC FBPOS
        CMPA #CH_CR         ; CR, LF or both end a line
        BEQ .line
        CMPA #$0A
        BEQ .line
        LDB FLPOS
        CMPB #LINMAX
        BHS .long
        LDX #LINBUF
        STA B,X
        INC FLPOS
        BRA .byte
.long   LDB #23             ; Line buffer overflow
        JMP error
.last   TST FLPOS           ; a last line without its CR
        BEQ fdone
        CLR FBCNT
        CLR FBPOS
.line   LDB FLPOS
        LDX #LINBUF
        CLR B,X
        CLR FLPOS
        LDY #LINBUF
        JSR peek
        BEQ .next           ; an empty line
        JSR isdigit
        BCC .direct
        JSR getlin
        LBCS snerr
        STD <LINNUM
        LDA ,Y
        CMPA #' '
        BNE .tok
        LEAY 1,Y
.tok    TFR Y,X
        LDU #DIRBUF
        JSR crunch
        LDX #DIRBUF
        JSR edit
.next   LDA FBCNT           ; 0: the last line, without its CR, is done
        LBEQ fdone
        JMP .byte
.direct LDB #66
        JMP error

* BLOAD ["name"][,offset][,R]
xbload  CLR FRUN
        LDD #0
        STD FOFF
        LDU #NAMEARG
        JSR fname
        JSR fcomma
        BCC .find
        JSR peek
        CMPA #'R'
        BEQ .r
        JSR getadr
        STD FOFF
        JSR fcomma
        BCC .find
.r      JSR frflag
        TST FRUN
        LBEQ snerr
.find   JSR peek
        JSR isend
        LBNE snerr
        LDA #K_MEM
        JSR ffind
        LDD TSTART          ; the memory must fit below FFFF
        ADDD FOFF
        STD FPTR
        ADDD TLEN
        LBCS fcerr
        CMPD #MEMTOP        ; not over the BASIC's and monitor's work areas
        LBHI fcerr
        STD FEND
        JSR fdata
        BCC .ok
        LDB #57
        JMP error
.ok     TST FRUN
        BEQ .r2
        LDD TEXEC
        ADDD FOFF
        TFR D,X
        JMP callmc
.r2     RTS

fndmsg2 FCB "Found: ",0
