<Quillnote FormatVersion="1.1">
	<Box Flag="1" Disabled="1" Title="T">
		<Caption Text="C"/>
		<Box>
			<Note Left="12" Top="-3" Text="n"/>
		</Box>
	</Box>
	<Note Text="bad" Extra="2"><Bar/></Note>
</Quillnote>
